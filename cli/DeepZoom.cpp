#include "cli/DeepZoom.h"

#include "cli/DeepZoomVideo.h"
#include "cli/IndexImageWriter.h"
#include "cli/OutputFile.h"
#include "cli/ProgressBar.h"
#include "cli/TemporaryFile.h"
#include "fractals/DeepZoom.h"
#include "fractals/Progress.h"
#include "image/CDib.h"
#include "platform/BmpFormat.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string_view>
#include <tuple>

namespace {

// The printf field of a frame name: where it is and how to write the number.
struct NameField
{
    std::size_t nBegin = 0;
    std::size_t nEnd = 0;
    std::string strFormat; // rebuilt from the parts read, for a long long or unsigned long long
    bool bSigned = true;
};

// Reads pattern's fields; why not when a % starts something that is not an integer field.
std::string ReadFields(const std::string &pattern, std::vector<NameField> &fields)
{
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%')
            continue;
        const std::size_t begin = i++;
        if (i < pattern.size() && pattern[i] == '%')
            continue;
        NameField field;
        field.nBegin = begin;
        field.strFormat = "%";
        while (i < pattern.size()
               && std::string_view("-+ #0").find(pattern[i]) != std::string::npos)
            field.strFormat += pattern[i++];
        for (const bool precision : {false, true}) {
            if (precision) {
                if (i >= pattern.size() || pattern[i] != '.')
                    break;
                field.strFormat += pattern[i++];
            }
            const std::size_t digits = i;
            while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9')
                field.strFormat += pattern[i++];
            if (i - digits > 2)
                return "a field's width or precision is at most 99";
        }
        // Length modifiers say nothing here: the number is always written as a long long.
        while (i < pattern.size()
               && std::string_view("hljzt").find(pattern[i]) != std::string::npos)
            ++i;
        if (i >= pattern.size() || std::string_view("diuoxX").find(pattern[i]) == std::string::npos)
            return "a % starts the frame number's field, such as %05d (write %% for a percent "
                   "sign)";
        field.bSigned = pattern[i] == 'd' || pattern[i] == 'i';
        field.strFormat += "ll";
        field.strFormat += pattern[i];
        field.nEnd = i + 1;
        fields.push_back(field);
    }
    return {};
}

std::string FormatField(const NameField &field, int k)
{
    char text[128];
    const int n = field.bSigned
        ? std::snprintf(text, sizeof text, field.strFormat.c_str(), static_cast<long long>(k))
        : std::snprintf(text, sizeof text, field.strFormat.c_str(),
                        static_cast<unsigned long long>(k));
    return std::string(text, std::size_t(std::clamp(n, 0, int(sizeof text) - 1)));
}

// log10 of a positive decimal string that the engine accepted, or nothing for zero and
// negative numbers; good enough to tell which of two widths is finer.
std::optional<double> DecimalLog10(const std::string &text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            return std::nullopt;
        ++i;
    }
    double mantissa = 0;
    int kept = 0;
    long double shift = 0; // powers of ten the kept digits are off by
    bool point = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        const int digit = text[i] - '0';
        if (kept == 0 && digit == 0) {
            if (point)
                shift -= 1;
            continue;
        }
        if (kept < 17) {
            mantissa = mantissa * 10 + digit;
            ++kept;
            if (point)
                shift -= 1;
        } else if (!point) {
            shift += 1;
        }
    }
    if (mantissa == 0)
        return std::nullopt;
    long double exponent = 0;
    if (i < text.size()) {
        ++i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        for (; i < text.size(); ++i)
            exponent = std::min<long double>(exponent * 10 + (text[i] - '0'), 1e30L);
        if (negative)
            exponent = -exponent;
    }
    return double(std::log10(static_cast<long double>(mantissa)) + shift + exponent);
}

void ParseSize(const std::string &s, int &columns, int &rows)
{
    const std::size_t x = s.find('x');
    const auto side = [&s](std::size_t first, std::size_t last) -> std::optional<int64_t> {
        if (first >= last || last - first > 9)
            return std::nullopt;
        for (std::size_t i = first; i < last; ++i)
            if (s[i] < '0' || s[i] > '9')
                return std::nullopt;
        return std::stoll(s.substr(first, last - first));
    };
    const auto w = x == std::string::npos ? std::nullopt : side(0, x);
    const auto h = x == std::string::npos ? std::nullopt : side(x + 1, s.size());
    if (!w || !h)
        throw DeepBadArgument {s, "a size is WIDTHxHEIGHT in whole pixels, such as 1920x1080"};
    if (*w < 2 || *h < 2 || *w > kMaxDibSide || *h > kMaxDibSide)
        throw DeepBadArgument {s, "each side must be from 2 to 32768 pixels"};
    if (uint64_t(*w) * uint64_t(*h) > kMaxDibPixels)
        throw DeepBadArgument {
            s, "at most 268435456 (2^28) pixels, this is " + std::to_string(*w * *h)};
    columns = int(*w);
    rows = int(*h);
}

// "A-B" or "A", frames numbered from 0 to frameCount - 1.
std::pair<int, int> ParseRange(const std::string &s, int frameCount)
{
    const auto number = [](const std::string &t) -> std::optional<int> {
        if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        return std::stoi(t);
    };
    const std::size_t dash = s.find('-');
    const auto a = number(s.substr(0, dash));
    const auto b = dash == std::string::npos ? a : number(s.substr(dash + 1));
    if (!a || !b)
        throw DeepBadArgument {s, "a frame range is FIRST-LAST, such as 0-99"};
    if (*a > *b)
        throw DeepBadArgument {s, "the first frame comes after the last"};
    if (*b >= frameCount)
        throw DeepBadArgument {
            s, "the frames are numbered from 0 to " + std::to_string(frameCount - 1)};
    return {*a, *b};
}

// ffmpeg's muxer for the video file's extension.
std::string VideoFormat(const std::string &path)
{
    const std::string ext = std::filesystem::path(path).extension().string();
    for (const auto &[name, format] : {std::pair {".mp4", "mp4"}, std::pair {".mkv", "matroska"},
                                       std::pair {".mov", "mov"}, std::pair {".webm", "webm"}})
        if (ext == name)
            return format;
    return {};
}

// The colour table of the user's palette file, or of the default palette.
std::optional<PaletteTable> LoadPalette(const std::optional<std::string> &path, std::ostream &err)
{
    std::optional<TemporaryFile> scratch;
    std::string file;
    if (path) {
        file = *path;
    } else {
        scratch.emplace("velorine-palette");
        if (!scratch->Create(err) || !CDib().WriteDefaultPalette(scratch->Path().c_str())) {
            err << "velorine-render: cannot write the default palette\n";
            return std::nullopt;
        }
        file = scratch->Path();
    }
    PaletteTable table;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "velorine-render: " << file << ": " << std::strerror(errno) << "\n";
        return std::nullopt;
    }
    in.read(reinterpret_cast<char *>(table.data()), std::streamsize(table.size()));
    if (in.gcount() < std::streamsize(table.size())) {
        err << "velorine-render: " << file << ": a palette needs 1024 bytes\n";
        return std::nullopt;
    }
    return table;
}

int WriteBytes(std::FILE *file, const void *data, std::size_t size)
{
    return std::fwrite(data, 1, size, file) == size ? 0 : (errno != 0 ? errno : EIO);
}

// Every pixel's count as a little-endian 32-bit integer.
int WriteCounts(std::FILE *file, const std::vector<uint32_t> &counts)
{
    std::vector<uint8_t> bytes(std::size_t(64) * 1024 * 4);
    for (std::size_t first = 0; first < counts.size(); first += bytes.size() / 4) {
        const std::size_t n = std::min(bytes.size() / 4, counts.size() - first);
        for (std::size_t i = 0; i < n; ++i) {
            const uint32_t v = counts[first + i];
            for (int b = 0; b < 4; ++b)
                bytes[4 * i + std::size_t(b)] = uint8_t(v >> (8 * b));
        }
        if (const int error = WriteBytes(file, bytes.data(), 4 * n))
            return error;
    }
    return 0;
}

// One output of a frame and what fills it.
struct FrameFile
{
    FrameFile(std::string name, std::function<int(std::FILE *)> filler)
        : file(std::move(name)), fill(std::move(filler))
    {
    }
    OutputFile file;
    std::function<int(std::FILE *)> fill;
};

} // namespace

void AddDeepZoomOptions(CLI::App &command, DeepZoomOptions &o)
{
    // A repeated option takes its last value, as the other kinds' options do.
    command.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command.add_option("--center", o.center, "the picture's centre, two decimals of any length")
        ->expected(2)
        ->allow_extra_args(false)
        ->required();
    command.add_option("--width", o.strWidth, "the picture's width, a decimal such as 1e-1000")
        ->required();
    command.add_option("--iterations", o.nIterations, "N, 10000 by default");
    command.add_option("--bailout", o.dBailout, "the squared-modulus limit, 100 by default");
    command.add_option("--size", o.strSize, "WxH, 512x512 by default");
    command.add_option("--to-width", o.toWidth, "the last frame's width");
    command.add_option("--frames", o.nFrames, "K frames from --width to --to-width");
    command.add_option("--frame-range", o.frameRange, "A-B: only frames A to B");
    command.add_option("-o", o.output, "an 8-bit BMP, or with --raw the index bytes");
    command.add_option("--png", o.png, "an 8-bit palette PNG");
    command.add_option("--counts", o.counts, "every count, little-endian 32-bit");
    command.add_option("--palette", o.palette, "the palette file, 1024 bytes");
    command.add_option("--video", o.video, "a video made by ffmpeg");
    command.add_option("--fps", o.dFps, "the video's frames per second, 30 by default");
    command.add_flag("--raw", o.bRaw, "-o writes the index bytes");
    command.add_flag("--quiet", o.bQuiet, "no progress bar");
}

std::string FrameNameError(const std::string &pattern, int frameCount)
{
    if (pattern.empty())
        return "empty file name";
    std::vector<NameField> fields;
    const std::string why = ReadFields(pattern, fields);
    if (frameCount == 1)
        return {};
    if (!why.empty())
        return why;
    if (fields.empty())
        return "the frames need a field for their number, such as zoom%05d.png";
    if (fields.size() > 1)
        return "only one field for the frame number";
    return {};
}

std::string FrameName(const std::string &pattern, int k)
{
    std::vector<NameField> fields;
    // A name that is not a pattern of one field is a single frame's name as it stands.
    if (!ReadFields(pattern, fields).empty() || fields.size() > 1)
        return pattern;
    std::string name;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (!fields.empty() && i == fields[0].nBegin) {
            name += FormatField(fields[0], k);
            i = fields[0].nEnd - 1;
        } else if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            name += '%';
            ++i;
        } else {
            name += pattern[i];
        }
    }
    return name;
}

DeepZoomPlan PlanDeepZoom(const DeepZoomOptions &o, const DeepEngine &engine)
{
    DeepZoomPlan plan;
    plan.options = o;
    DeepZoomOptions &p = plan.options;
    if (o.center.size() != 2)
        throw DeepBadArgument {"--center", "needs the real and the imaginary part"};
    for (const std::string *number : {&o.center[0], &o.center[1], &o.strWidth})
        if (const std::string why = engine.DecimalError(*number); !why.empty())
            throw DeepBadArgument {*number, why};
    const auto log0 = DecimalLog10(o.strWidth);
    if (!log0)
        throw DeepBadArgument {o.strWidth, "the width must be more than 0"};
    if (o.nIterations < 1)
        throw DeepBadArgument {"--iterations", "at least 1"};
    if (!std::isfinite(o.dBailout) || o.dBailout <= 0)
        throw DeepBadArgument {"--bailout", "a squared modulus more than 0"};
    ParseSize(o.strSize, plan.nColumns, plan.nRows);

    plan.strFinest = o.strWidth;
    if (o.toWidth) {
        if (const std::string why = engine.DecimalError(*o.toWidth); !why.empty())
            throw DeepBadArgument {*o.toWidth, why};
        const auto log1 = DecimalLog10(*o.toWidth);
        if (!log1)
            throw DeepBadArgument {*o.toWidth, "the width must be more than 0"};
        if (o.nFrames < 2 || o.nFrames > 1000000)
            throw DeepBadArgument {"--frames", "a zoom with --to-width has 2 to 1000000 frames"};
        if (*log1 < *log0)
            plan.strFinest = *o.toWidth;
    } else if (o.nFrames != 1) {
        throw DeepBadArgument {"--frames", "needs --to-width, the last frame's width"};
    }
    const int frameCount = o.nFrames;
    int first = 0;
    int last = frameCount - 1;
    if (o.frameRange) {
        if (frameCount == 1)
            throw DeepBadArgument {"--frame-range", "only for a zoom (--to-width and --frames)"};
        std::tie(first, last) = ParseRange(*o.frameRange, frameCount);
    }

    if (o.video) {
        if (VideoFormat(*o.video).empty())
            throw DeepBadArgument {*o.video, "a video is a .mp4, .mkv, .mov or .webm file"};
        if (plan.nColumns % 2 || plan.nRows % 2)
            throw DeepBadArgument {o.strSize, "a video's width and height must be even"};
        if (!std::isfinite(o.dFps) || o.dFps <= 0 || o.dFps > 1000)
            throw DeepBadArgument {"--fps", "from more than 0 to 1000 frames per second"};
    } else if (o.dFps != DeepZoomOptions().dFps) {
        throw DeepBadArgument {"--fps", "only with --video"};
    }
    if (o.bRaw && !o.output && (o.png || o.counts || o.video))
        throw DeepBadArgument {"--raw", "name the raw file with -o"};
    // Nothing asked for but the picture: the BMP (or raw bytes) under the kind's name.
    if (!o.output && !o.png && !o.counts && !o.video)
        p.output = std::string(frameCount > 1 ? "deep%05d" : "deep") + (o.bRaw ? ".raw" : ".bmp");

    std::vector<std::pair<std::string, std::string>> names; // option, frame `first`'s file
    for (const auto &[option, pattern] : {std::pair {"-o", &p.output}, std::pair {"--png", &p.png},
                                          std::pair {"--counts", &p.counts}}) {
        if (!*pattern)
            continue;
        if (const std::string why = FrameNameError(**pattern, frameCount); !why.empty())
            throw DeepBadArgument {**pattern, why};
        names.emplace_back(option, FrameName(**pattern, first));
    }
    if (o.video) {
        if (o.video->empty())
            throw DeepBadArgument {"--video", "empty file name"};
        names.emplace_back("--video", *o.video);
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = i + 1; j < names.size(); ++j)
            if (SameFile(names[i].second, names[j].second))
                throw DeepBadArgument {names[j].second,
                                       names[i].first + " and " + names[j].first
                                           + " name the same file"};

    for (int k = first; k <= last; ++k)
        plan.frames.push_back({k,
                               frameCount == 1
                                   ? o.strWidth
                                   : engine.FrameWidth(o.strWidth, *o.toWidth, k, frameCount)});
    return plan;
}

int RunDeepZoom(const DeepZoomPlan &plan, DeepEngine &engine, std::ostream &err, int nProgressFd)
{
    const DeepZoomOptions &o = plan.options;
    const bool bmp = o.output && !o.bRaw;
    std::optional<PaletteTable> palette;
    if (bmp || o.png || o.video) {
        if (!(palette = LoadPalette(o.palette, err)))
            return 1;
    }
    std::optional<VideoPipe> video;
    if (o.video) {
        const std::string ffmpeg = FindFfmpeg();
        if (ffmpeg.empty()) {
            err << "velorine-render: --video needs ffmpeg, which is not on PATH (Debian's "
                   "package ffmpeg)\n";
            return 1;
        }
        video.emplace(ffmpeg, *o.video, VideoFormat(*o.video), plan.nColumns, plan.nRows, o.dFps);
        if (!video->Start(err))
            return 1;
    }
    engine.Prepare(o.center[0], o.center[1], plan.strFinest, o.nIterations, o.dBailout);

    const int w = plan.nColumns;
    const int h = plan.nRows;
    const std::size_t pixels = std::size_t(w) * std::size_t(h);
    std::vector<uint32_t> counts(pixels);
    std::vector<uint8_t> indices(pixels);
    std::vector<uint8_t> rgb(video ? pixels * 3 : 0);
    GeneratorProgress generated;
    GeneratorProgress written;
    const int64_t perFrame = int64_t(pixels) * (1 + (bmp ? 1 : 0) + (o.png ? 1 : 0));
    const int64_t total = perFrame * int64_t(plan.frames.size());
    // Messages wait until the bar is gone, so they never share its line.
    std::ostringstream failures;
    bool ok = true;
    {
        ProgressBar bar(o.bQuiet ? -1 : nProgressFd, [&] {
            return WorkDone {generated.Done() + written.Done(), total};
        });
        for (const DeepFrame &frame : plan.frames) {
            // Each file is reserved before the frame's work, so a folder that refuses it is
            // reported at once.
            std::deque<FrameFile> files;
            const auto add = [&](const std::optional<std::string> &pattern,
                                 std::function<int(std::FILE *)> fill) {
                if (!pattern)
                    return true;
                files.emplace_back(FrameName(*pattern, frame.nIndex), std::move(fill));
                return files.back().file.Reserve(failures);
            };
            const uint8_t *index = indices.data();
            ok = add(o.output,
                     [&](std::FILE *file) {
                         return o.bRaw ? WriteBytes(file, index, pixels)
                                       : WriteIndexBmp(file, index, w, h, *palette, &written);
                     })
                && add(o.png,
                       [&](std::FILE *file) {
                           return WriteIndexPng(file, index, w, h, *palette, &written);
                       })
                && add(o.counts, [&](std::FILE *file) { return WriteCounts(file, counts); });
            if (!ok)
                break;
            engine.Render(frame.strWidth, w, h, counts.data(), &generated);
            std::transform(counts.begin(), counts.end(), indices.begin(),
                           [&](uint32_t n) { return deep::PaletteIndex(n, o.nIterations); });
            for (FrameFile &f : files)
                if (!(ok = f.file.Write(f.fill, failures) && f.file.Commit(failures)))
                    break;
            if (ok && video) {
                // ffmpeg takes rows top first.
                for (int row = 0; row < h; ++row) {
                    const uint8_t *src = index + std::size_t(h - 1 - row) * std::size_t(w);
                    uint8_t *dst = rgb.data() + std::size_t(row) * std::size_t(w) * 3;
                    for (int col = 0; col < w; ++col) {
                        const uint8_t *entry = palette->data() + 4 * std::size_t(src[col]);
                        dst[3 * col] = entry[2];
                        dst[3 * col + 1] = entry[1];
                        dst[3 * col + 2] = entry[0];
                    }
                }
                ok = video->Write(rgb.data(), rgb.size(), failures);
            }
            if (!ok)
                break;
        }
        if (ok && video)
            ok = video->Finish(failures);
    }
    err << failures.str();
    return ok ? 0 : 1;
}

std::string DeepZoomHelp()
{
    CLI::App command("velorine-render deep", "deep");
    DeepZoomOptions o;
    AddDeepZoomOptions(command, o);
    return "usage: velorine-render deep --center RE IM --width W [OPTIONS...]\n"
           "A Mandelbrot picture at any depth: RE, IM and W are decimals of any length "
           "(1e-1000 works).\n"
           "A pixel's count is its iterations, N when it does not escape; its colour index is "
           "255 for N,\n"
           "else 1 + (count - 1) mod 254.\n"
        + command.help();
}

int DeepZoomMain(const std::vector<std::string> &args, DeepEngine &engine, std::ostream &err,
                 int nProgressFd)
{
    CLI::App command("velorine-render deep", "deep");
    DeepZoomOptions o;
    AddDeepZoomOptions(command, o);
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        command.parse(reversed);
        return RunDeepZoom(PlanDeepZoom(o, engine), engine, err, nProgressFd);
    } catch (const CLI::ParseError &e) {
        err << "velorine-render: " << e.what() << "\n";
        return 2;
    } catch (const DeepBadArgument &e) {
        err << "velorine-render: bad argument '" << e.strArg << "': " << e.strWhy << "\n";
        return 2;
    }
}
