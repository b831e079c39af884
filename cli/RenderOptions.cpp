#include "cli/RenderOptions.h"

#include "cli/OutputFile.h"

#include "image/CDib.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <deque>
#include <filesystem>
#include <sstream>
#include <utility>

#ifndef VELORINE_VERSION
#error "the build defines VELORINE_VERSION from the project's version"
#endif

namespace {

using kinds::Kind;

// Numbers in the C locale whatever the environment says: from_chars ignores the locale.
std::optional<double> ParseDouble(const std::string &s)
{
    double v = 0;
    const char *first = s.data();
    if (!s.empty() && s[0] == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || first == end || !std::isfinite(v))
        return std::nullopt;
    return v;
}

template<typename T> std::optional<T> ParseInteger(const std::string &s)
{
    T v = 0;
    const char *first = s.data();
    if (!s.empty() && s[0] == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || first == end)
        return std::nullopt;
    return v;
}

// One side of "WxH": decimal digits only; leading zeros do not count against the range.
std::optional<int64_t> Side(const std::string &s)
{
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::size_t first = std::min(s.find_first_not_of('0'), s.size() - 1);
    // Past nine digits the side is out of range whatever it is.
    return s.size() - first > 9 ? int64_t(kMaxDibSide) + 1 : std::stoll(s.substr(first));
}

void ParseSize(const std::string &s, RenderOptions &o)
{
    const std::size_t x = s.find('x');
    const auto w = x == std::string::npos ? std::nullopt : Side(s.substr(0, x));
    const auto h = x == std::string::npos ? std::nullopt : Side(s.substr(x + 1));
    if (!w || !h)
        throw BadArgument {s, "a size is WIDTHxHEIGHT in whole pixels, such as 1920x1080"};
    if (*w < 2 || *h < 2 || *w > kMaxDibSide || *h > kMaxDibSide)
        throw BadArgument {s, "each side must be from 2 to 32768 pixels"};
    if (uint64_t(*w) * uint64_t(*h) > kMaxDibPixels)
        throw BadArgument {s,
                           "at most 268435456 (2^28) pixels, this is " + std::to_string(*w * *h)};
    o.nWidth = int(*w);
    o.nHeight = int(*h);
    o.bSized = true;
}

// A value that starts like an option is one, not a file name or a number: "-o --raw" names no
// file. "-" (standard output) and negative numbers pass.
void RefuseOptionAsValue(const std::string &option, const std::string &value, bool bFile)
{
    if (value.size() < 2 || value[0] != '-')
        return;
    const char second = value[1];
    if (!bFile && (std::isdigit(static_cast<unsigned char>(second)) || second == '.'))
        return;
    throw BadArgument {option,
                       bFile ? "needs a file name, not '" + value + "' (write ./" + value
                               + " for a file of that name)"
                             : "needs a value, not '" + value + "'"};
}

// The shared options, with the output each belongs to.
struct SharedOption
{
    const char *pNames;
    const char *pName;
    kinds::Outputs output;
    bool bFile;
};
constexpr SharedOption kSharedValues[] = {
    {"-o", "-o", kinds::kBmp, true},
    {"--png", "--png", kinds::kPng, true},
    {"--palette", "--palette", kinds::kPalette, true},
    {"--seed", "--seed", kinds::kSeed, false},
    {"--size", "--size", kinds::kSize, false},
};

bool TakesFile(const Kind &kind, const std::string &option)
{
    for (const SharedOption &s : kSharedValues)
        if (option == s.pName)
            return s.bFile;
    for (const kinds::Option &k : kind.options)
        if (option == k.pName)
            return k.bFile;
    return false;
}

// CLI11 reads "-.5" as the short option '.': such a number is written "-0.5" first, the same
// value, unless it is the name a file option takes.
std::vector<std::string> Prepared(const Kind &kind, const std::vector<std::string> &args)
{
    std::vector<std::string> out;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool fileValue = i > 1 && TakesFile(kind, args[i - 1]);
        if (!fileValue && a.size() > 2 && a[0] == '-' && a[1] == '.'
            && std::isdigit(static_cast<unsigned char>(a[2])))
            out.push_back("-0" + a.substr(1));
        else
            out.push_back(a);
    }
    return out;
}

// CLI11's refusals as one of ours: the option's name and a few words.
[[noreturn]] void Refuse(const CLI::ParseError &e)
{
    const std::string what = e.what();
    const std::string extra = "not expected: ";
    if (const std::size_t at = what.find(extra); at != std::string::npos) {
        std::string arg = what.substr(at + extra.size());
        arg = arg.substr(0, arg.find(' '));
        throw BadArgument {
            arg, arg.size() > 1 && arg[0] == '-' ? "unknown option" : "too many arguments"};
    }
    const std::string name = what.substr(0, what.find(':'));
    if (what.find("At Most") != std::string::npos)
        throw BadArgument {name, "given twice"};
    if (what.find("required") != std::string::npos) {
        const std::string count
            = what.substr(name.size() + 2, what.find(' ', name.size() + 2) - name.size() - 2);
        throw BadArgument {name, count == "1" ? "needs a value" : "needs " + count + " values"};
    }
    throw BadArgument {name, what};
}

std::string FormatNumber(double v)
{
    std::ostringstream text;
    text << v;
    return text.str();
}

// "[XMIN XMAX YMIN YMAX [BAILOUT]]": each accepted count of arguments closes a group the
// command line may leave out.
std::string Synopsis(const Kind &kind)
{
    std::string inner;
    for (std::size_t i = kind.counts.size(); i-- > 0;) {
        const std::size_t from = i == 0 ? 0 : kind.counts[i - 1];
        std::string group;
        // Appended piece by piece: GCC 12 warns -Wrestrict on "literal" + string here.
        const auto add = [&group](const std::string &word) {
            if (!group.empty())
                group.push_back(' ');
            group.append(word);
        };
        for (std::size_t a = from; a < kind.counts[i]; ++a)
            add(kind.args[a].pName);
        if (!inner.empty())
            add(inner);
        inner = i > 0 && !group.empty() ? "[" + group + "]" : group;
    }
    return inner;
}

std::string Defaults(const Kind &kind)
{
    std::string text;
    for (const kinds::Argument &a : kind.args)
        if (a.type != kinds::Type::File) {
            if (!text.empty())
                text.push_back(' ');
            text.append(FormatNumber(a.dDefault));
        }
    return text.empty() ? kind.pSummary : "defaults: " + text;
}

std::string Padded(std::string text, std::size_t width)
{
    text.resize(std::max(text.size() + 1, width), ' ');
    return text;
}

// The shared options' lines of help, for the kinds given (all, or one).
std::string OptionLines(const std::vector<const Kind *> &shown)
{
    const auto takes = [&](kinds::Outputs output) {
        return std::any_of(shown.begin(), shown.end(),
                           [output](const Kind *k) { return k->Takes(output); });
    };
    const bool all = shown.size() > 1;
    const auto only = [all](kinds::Outputs output) {
        return all ? " (" + kinds::NamesTaking(output) + ")" : std::string();
    };
    std::string text = "options:\n";
    if (takes(kinds::kBmp))
        text += "  -o FILE            an 8-bit BMP (default KIND.bmp unless --png is given); "
                "- is\n"
                "                     standard output\n";
    if (takes(kinds::kRaw))
        text += "  --raw              with -o, the index bytes instead of a BMP\n";
    if (takes(kinds::kPng))
        text += "  --png FILE         an 8-bit palette PNG" + only(kinds::kPng) + "\n";
    if (takes(kinds::kSize))
        text += "  --size WxH         2 to 32768 a side, at most 2^28 pixels, default 512x512\n"
            + (all ? "                     (" + kinds::NamesTaking(kinds::kSize) + ")\n" : "");
    if (takes(kinds::kPalette))
        text += "  --palette FILE.rgb the colour table instead of the default palette\n";
    if (takes(kinds::kSeed))
        text += "  --seed N           the random kinds' seed, 0 to 4294967295 (default: the "
                "clock)\n";
    text += "  --quiet            no progress bar on standard error\n"
            "  -h, --help         this text\n";
    for (const Kind *k : shown)
        for (const kinds::Option &opt : k->options)
            text += "  " + Padded(std::string(opt.pName) + " " + opt.pValues, 19) + opt.pHelp
                + (all ? std::string(" (") + k->pName + ")" : "") + "\n";
    return text;
}

} // namespace

RenderOptions ParseRenderOptions(const std::vector<std::string> &args)
{
    RenderOptions o;
    if (args.empty())
        throw BadArgument {"KIND", "missing"};
    if (args[0] == "--help" || args[0] == "-h") {
        if (args.size() > 1)
            throw BadArgument {args[1], "too many arguments"};
        o.action = RenderOptions::Action::Usage;
        return o;
    }
    if (args[0] == "--version") {
        if (args.size() > 1)
            throw BadArgument {args[1], "too many arguments"};
        o.action = RenderOptions::Action::Version;
        return o;
    }
    o.pKind = kinds::Find(args[0]);
    if (!o.pKind)
        throw BadArgument {args[0],
                           args[0].rfind('-', 0) == 0 ? "unknown option, the kind "
                                                        "comes first"
                                                      : "unknown kind"};
    const Kind &kind = *o.pKind;

    CLI::App app;
    app.set_help_flag();
    app.add_option("ARGS", o.positional);
    std::map<std::string, std::string> shared;
    for (const SharedOption &s : kSharedValues)
        app.add_option(s.pNames, shared[s.pName]);
    int help = 0;
    int raw = 0;
    int quiet = 0;
    app.add_flag("-h,--help", help);
    app.add_flag("--raw", raw);
    app.add_flag("--quiet", quiet);
    // The kind's own options: a switch, one value or a pair.
    std::deque<std::string> singles;
    std::deque<std::pair<std::string, std::string>> pairs;
    std::deque<int> switches;
    for (const kinds::Option &opt : kind.options) {
        if (opt.nValues == 0)
            app.add_flag(opt.pName, switches.emplace_back(0));
        else if (opt.nValues == 1)
            app.add_option(opt.pName, singles.emplace_back());
        else
            app.add_option(opt.pName, pairs.emplace_back());
    }
    std::vector<std::string> reversed = Prepared(kind, args);
    std::reverse(reversed.begin(), reversed.end());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError &e) {
        Refuse(e);
    }
    for (const auto &[name, count] : {std::pair {"-h", help}, {"--raw", raw}, {"--quiet", quiet}})
        if (count > 1)
            throw BadArgument {name, "given twice"};
    if (help) {
        o.action = RenderOptions::Action::KindHelp;
        return o;
    }
    o.bRaw = raw > 0;
    o.bQuiet = quiet > 0;

    const auto given = [&app](const char *name) { return app.get_option(name)->count() > 0; };
    for (const SharedOption &s : kSharedValues) {
        if (!given(s.pName))
            continue;
        const std::string &value = shared[s.pName];
        RefuseOptionAsValue(s.pName, value, s.bFile);
        if (!kind.Takes(s.output)) {
            const std::string names = kinds::NamesTaking(s.output);
            if (s.output == kinds::kSize)
                throw BadArgument {s.pName, "only " + names + " take a size"};
            if (s.output == kinds::kPng)
                throw BadArgument {s.pName, "only " + names + " write a PNG"};
            throw BadArgument {s.pName, std::string("not used by ") + kind.pName};
        }
        if (s.bFile && value.empty())
            throw BadArgument {s.pName, "empty file name"};
    }
    if (given("-o"))
        o.output = shared["-o"];
    if (given("--png"))
        o.png = shared["--png"];
    if (given("--palette"))
        o.palette = shared["--palette"];
    if (given("--seed")) {
        const auto seed = ParseInteger<uint32_t>(shared["--seed"]);
        if (!seed)
            throw BadArgument {shared["--seed"],
                               "seed must be a whole number from 0 to 4294967295"};
        o.seed = *seed;
    }
    if (given("--size"))
        ParseSize(shared["--size"], o);
    if (o.bRaw && !kind.Takes(kinds::kRaw))
        throw BadArgument {"--raw", std::string("not used by ") + kind.pName};

    std::size_t single = 0;
    std::size_t pair = 0;
    std::size_t toggle = 0;
    for (const kinds::Option &opt : kind.options) {
        std::vector<std::string> values;
        if (opt.nValues == 0) {
            if (switches[toggle] > 1)
                throw BadArgument {opt.pName, "given twice"};
            if (switches[toggle++] == 0)
                continue;
        } else if (!given(opt.pName)) {
            if (opt.bRequired)
                throw BadArgument {opt.pName, std::string("required by ") + kind.pName};
            opt.nValues == 1 ? ++single : ++pair;
            continue;
        } else if (opt.nValues == 1) {
            values = {singles[single++]};
        } else {
            values = {pairs[pair].first, pairs[pair].second};
            ++pair;
        }
        for (const std::string &v : values) {
            RefuseOptionAsValue(opt.pName, v, opt.bFile);
            if (opt.bFile && v.empty())
                throw BadArgument {opt.pName, "empty file name"};
        }
        o.kindValues[opt.pName] = values;
    }

    const auto &counts = kind.counts;
    if (std::find(counts.begin(), counts.end(), o.positional.size()) == counts.end()) {
        const bool tooMany = o.positional.size() > counts.back();
        throw BadArgument {tooMany ? o.positional[counts.back()] : kind.pName,
                           tooMany ? "too many arguments" : "wrong number of arguments"};
    }
    if (kind.rendering == kinds::Rendering::Reader)
        return o;
    if (o.png && o.bRaw && !o.output)
        throw BadArgument {"--raw", "with --png, name the raw file with -o"};
    // A PNG alone is all that is asked for; otherwise the BMP goes to a default name.
    if (!o.output && !o.png && kind.Takes(kinds::kBmp))
        o.output = std::string(kind.pName) + ".bmp";
    if (o.output == "-" && o.png == "-")
        throw BadArgument {"-", "only one of -o and --png can be standard output"};
    if (o.output && o.png && SameFile(*o.output, *o.png))
        throw BadArgument {*o.png, "-o and --png name the same file"};
    return o;
}

std::vector<double> ReadArguments(const RenderOptions &o)
{
    std::vector<double> values = o.pKind->Defaults();
    for (std::size_t i = 0; i < o.positional.size(); ++i) {
        const kinds::Argument &a = o.pKind->args[i];
        const std::string &s = o.positional[i];
        if (a.type == kinds::Type::File)
            continue;
        if (a.type == kinds::Type::Integer) {
            const auto v = ParseInteger<int>(s);
            if (!v)
                throw BadArgument {s, "not a whole number in the int range"};
            values[i] = *v;
        } else {
            const auto v = ParseDouble(s);
            if (!v)
                throw BadArgument {s, "not a finite number"};
            values[i] = *v;
        }
        if (a.check == kinds::Check::Positive && !(values[i] > 0))
            throw BadArgument {s, std::string(a.pName) + " must be above 0"};
        if (a.check == kinds::Check::NonZero && values[i] == 0)
            throw BadArgument {s, std::string(a.pName) + " of 0 gives a picture of one colour"};
    }
    return values;
}

std::string UsageText()
{
    std::string text = "usage: velorine-render KIND [ARGS...] [OPTIONS...]\n"
                       "       velorine-render KIND --help | --help | --version\n"
                       "kinds:\n";
    std::vector<const Kind *> all;
    for (const Kind &k : kinds::All()) {
        all.push_back(&k);
        text += "  " + Padded(std::string(k.pName) + " " + Synopsis(k), 46) + Defaults(k) + "\n";
    }
    text += "  " + Padded("deep --center RE IM --width W", 46)
        + "a Mandelbrot picture at any depth (deep --help)\n";
    text += OptionLines(all);
    text += "Options take their value as --opt VALUE or --opt=VALUE; -- ends the options.\n"
            "On a terminal, long work shows a progress bar on standard error unless --quiet is\n"
            "given.\n";
    return text;
}

std::string KindHelpText(const Kind &kind)
{
    std::string text = "usage: velorine-render " + std::string(kind.pName) + " " + Synopsis(kind)
        + (Synopsis(kind).empty() ? "" : " ") + "[OPTIONS...]\n";
    if (*kind.pSummary)
        text += "  " + std::string(kind.pSummary) + "\n";
    if (!kind.args.empty())
        text += "arguments:\n";
    for (const kinds::Argument &a : kind.args) {
        text += "  " + Padded(a.pName, 19);
        if (a.type == kinds::Type::File)
            text += "a file\n";
        else
            text += std::string(a.type == kinds::Type::Integer ? "a whole number" : "a number")
                + (a.check == kinds::Check::Positive      ? " above 0"
                       : a.check == kinds::Check::NonZero ? ", not 0"
                                                          : "")
                + ", default " + FormatNumber(a.dDefault) + "\n";
    }
    return text + OptionLines({&kind});
}

std::string VersionText()
{
    return std::string("velorine-render ") + VELORINE_VERSION + "\n";
}
