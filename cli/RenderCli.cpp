#include "cli/RenderCli.h"

#include "cli/IndexImageWriter.h"
#include "cli/OutputFile.h"
#include "cli/ProgressBar.h"
#include "cli/TemporaryFile.h"
#include "fractals/FractalParams.h"
#include "fractals/Leaf.h"
#include "fractals/Progress.h"
#include "fractals/Random.h"
#include "fractals/Recipes.h"
#include "image/CDib.h"
#include "platform/BmpFormat.h"
#include "platform/CDC.h"
#include "platform/CFile.h"
#include "platform/Exceptions.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>

namespace {

constexpr int kPicture = recipe::kPictureSize;
constexpr std::size_t kBufferSize = std::size_t(kPicture) * kPicture;

// The usage, with each kind's defaults as its command draws them.
std::string UsageText()
{
    const FractalParams m;
    const recipe::PlaneArgs &j = recipe::kJuliaPlane;
    const recipe::MartinArgs &ma = recipe::kMartin;
    const recipe::MiraArgs &mi = recipe::kMira;
    const recipe::WallpaperArgs &w = recipe::kWallpaper;
    std::ostringstream text;
    text << "usage: velorine-render KIND [ARGS...] [-o FILE] [--palette FILE.rgb] [--seed N] "
            "[--raw]\n"
            "                       [--size WxH] [--png FILE.png] [--quiet]\n"
         << "  mandelbrot [XMIN XMAX YMIN YMAX [BAILOUT]]      defaults: " << m.m_dMandelXMin << ' '
         << m.m_dMandelXMax << ' ' << m.m_dMandelYMin << ' ' << m.m_dMandelYMax << ' '
         << m.m_dMandelBailout << "\n"
         << "  julia      [CX CY [XMIN XMAX YMIN YMAX]]        defaults: " << kDefaultJuliaCX << ' '
         << kDefaultJuliaCY << ", " << j.dXMin << ".." << j.dXMax << "\n"
         << "  martin     [A B C [ITERATIONS]]                 defaults: " << ma.dA << ' ' << ma.dB
         << ' ' << ma.dC << ' ' << ma.nIterations << "\n"
         << "  mira       [A B SX SY X1 Y1 X2 Y2 [ITERATIONS]] defaults: " << mi.dA << ' ' << mi.dB
         << ' ' << mi.dSX << ' ' << mi.dSY << ' ' << mi.nX1 << ' ' << mi.nY1 << ' ' << mi.nX2 << ' '
         << mi.nY2 << ' ' << mi.nIterations << "\n"
         << "  wallpaper  [USTART VSTART SPAN]                 defaults: " << w.nUStart << ' '
         << w.nVStart << ' ' << w.nSpan << "\n"
         << "  dla                                             the seed block and five passes\n"
            "  leaf                                            the leaf over a 512x512 8-bit "
            "picture\n"
            "  open FILE.bmp [--png OUT.png]                   print size, bit count and colour "
            "count\n"
            "mandelbrot, julia: --size WxH, 2 to 32768 a side and at most 2^28 pixels (default\n"
            "  512x512); --png FILE writes an 8-bit palette PNG, the only output unless -o is "
            "given.\n"
            "-o writes an 8-bit BMP, with --raw the index bytes instead. On a terminal, long work\n"
            "shows a progress bar on standard error unless --quiet is given.\n";
    return text.str();
}

struct BadArgument
{
    std::string strArg;
    std::string strWhy;
};

struct Options
{
    std::string strKind;
    std::vector<std::string> positional;
    std::optional<std::string> output;
    std::optional<std::string> palette;
    std::optional<std::string> png;
    std::optional<uint32_t> seed;
    int nWidth = kPicture;
    int nHeight = kPicture;
    bool bSized = false;
    bool bRaw = false;
    bool bQuiet = false;
};

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

double Real(const std::string &s)
{
    if (auto v = ParseDouble(s))
        return *v;
    throw BadArgument {s, "not a finite number"};
}

int Integer(const std::string &s)
{
    if (auto v = ParseInteger<int>(s))
        return *v;
    throw BadArgument {s, "not a whole number in the int range"};
}

// "WxH": two runs of decimal digits and nothing else, each side and the pixel count within
// what CDib can hold.
void ParseSize(const std::string &s, Options &o)
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

bool SameFile(const std::string &a, const std::string &b)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const auto pb = ec ? fs::path() : fs::weakly_canonical(fs::absolute(b, ec), ec);
    return ec ? a == b : pa == pb;
}

// The counts of positional arguments each kind takes.
const std::map<std::string, std::vector<std::size_t>> &Kinds()
{
    static const std::map<std::string, std::vector<std::size_t>> kinds {
        {"mandelbrot", {0, 4, 5}}, {"julia", {0, 2, 6}}, {"martin", {0, 3, 4}}, {"mira", {0, 8, 9}},
        {"wallpaper", {0, 3}},     {"dla", {0}},         {"leaf", {0}},         {"open", {1}},
    };
    return kinds;
}

Options Parse(const std::vector<std::string> &args)
{
    if (args.empty())
        throw BadArgument {"KIND", "missing"};
    Options o;
    o.strKind = args[0];
    const auto kind = Kinds().find(o.strKind);
    if (kind == Kinds().end())
        throw BadArgument {o.strKind, "unknown kind"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const auto value = [&]() -> const std::string & {
            if (i + 1 >= args.size())
                throw BadArgument {a, "needs a value"};
            return args[++i];
        };
        if (a == "-o")
            o.output = value();
        else if (a == "--palette")
            o.palette = value();
        else if (a == "--png")
            o.png = value();
        else if (a == "--seed") {
            const std::string &s = value();
            const auto seed = ParseInteger<uint32_t>(s);
            if (!seed)
                throw BadArgument {s, "seed must be a whole number from 0 to 4294967295"};
            o.seed = *seed;
        } else if (a == "--size")
            ParseSize(value(), o);
        else if (a == "--raw")
            o.bRaw = true;
        else if (a == "--quiet")
            o.bQuiet = true;
        else if (a.size() > 1 && a[0] == '-' && !ParseDouble(a) && a != "--")
            throw BadArgument {a, "unknown option"};
        else
            o.positional.push_back(a);
    }
    const auto &counts = kind->second;
    if (std::find(counts.begin(), counts.end(), o.positional.size()) == counts.end()) {
        const bool tooMany = o.positional.size() > counts.back();
        throw BadArgument {tooMany ? o.positional[counts.back()] : o.strKind,
                           tooMany ? "too many arguments" : "wrong number of arguments"};
    }
    const bool escapeTime = o.strKind == "mandelbrot" || o.strKind == "julia";
    if (o.bSized && !escapeTime)
        throw BadArgument {"--size", "only mandelbrot and julia take a size"};
    if (o.strKind == "open") {
        if (o.bRaw)
            throw BadArgument {"--raw", "not used by open"};
        if (o.palette)
            throw BadArgument {"--palette", "not used by open"};
        if (o.output && o.output->empty())
            throw BadArgument {"-o", "empty file name"};
    } else {
        if (o.png && !escapeTime)
            throw BadArgument {"--png", "only open, mandelbrot and julia write a PNG"};
        if (o.png && o.png->empty())
            throw BadArgument {"--png", "empty file name"};
        if (o.png && o.bRaw && !o.output)
            throw BadArgument {"--raw", "with --png, name the raw file with -o"};
        // A PNG alone is all that is asked for; otherwise the BMP goes to a default name.
        if (!o.output && !o.png)
            o.output = o.strKind + ".bmp";
        if (o.output && o.output->empty())
            throw BadArgument {"-o", "empty file name"};
        if (o.output == "-" && o.png == "-")
            throw BadArgument {"-", "only one of -o and --png can be standard output"};
        if (o.output && o.png && SameFile(*o.output, *o.png))
            throw BadArgument {*o.png, "-o and --png name the same file"};
    }
    return o;
}

// The value at position i, or the default.
double RealAt(const Options &o, std::size_t i, double fallback)
{
    return i < o.positional.size() ? Real(o.positional[i]) : fallback;
}

int IntegerAt(const Options &o, std::size_t i, int fallback)
{
    return i < o.positional.size() ? Integer(o.positional[i]) : fallback;
}

// A generator call with its numbers read, and how much work its progress record will count
// (0: too quick to be worth a bar).
struct Job
{
    std::function<void(uint8_t *, GeneratorProgress *)> run;
    int64_t nWork = 0;
};

// Reads the numbers of every kind but the leaf and open, so a bad one is reported before any
// file is touched or any work done. The buffer the job fills starts as zeros.
Job Plan(const Options &o, uint32_t seed)
{
    const FractalParams defaults;
    const int w = o.nWidth;
    const int h = o.nHeight;
    const std::string &k = o.strKind;
    if (k == "mandelbrot") {
        const double xMin = RealAt(o, 0, defaults.m_dMandelXMin);
        const double xMax = RealAt(o, 1, defaults.m_dMandelXMax);
        const double yMin = RealAt(o, 2, defaults.m_dMandelYMin);
        const double yMax = RealAt(o, 3, defaults.m_dMandelYMax);
        const double bailout = RealAt(o, 4, defaults.m_dMandelBailout);
        return {[=](uint8_t *p, GeneratorProgress *progress) {
                    FractalParams().Mandelbrot(p, w, h, xMin, xMax, yMin, yMax, bailout, progress);
                },
                int64_t(w) * h};
    }
    if (k == "julia") {
        const double cx = RealAt(o, 0, kDefaultJuliaCX);
        const double cy = RealAt(o, 1, kDefaultJuliaCY);
        const recipe::PlaneArgs &plane = recipe::kJuliaPlane;
        const double xMin = RealAt(o, 2, plane.dXMin);
        const double xMax = RealAt(o, 3, plane.dXMax);
        const double yMin = RealAt(o, 4, plane.dYMin);
        const double yMax = RealAt(o, 5, plane.dYMax);
        return {[=](uint8_t *p, GeneratorProgress *progress) {
                    FractalParams().Julia(p, w, h, cx, cy, xMin, xMax, yMin, yMax, progress);
                },
                int64_t(w) * h};
    }
    if (k == "martin") {
        const recipe::MartinArgs &r = recipe::kMartin;
        const double a = RealAt(o, 0, r.dA);
        const double b = RealAt(o, 1, r.dB);
        const double c = RealAt(o, 2, r.dC);
        const int iterations = IntegerAt(o, 3, r.nIterations);
        return {[=](uint8_t *p, GeneratorProgress *progress) {
                    FractalParams().Martin(p, h, w, a, b, c, iterations, progress);
                },
                std::max(iterations, 0)};
    }
    if (k == "mira") {
        const recipe::MiraArgs &r = recipe::kMira;
        const double a = RealAt(o, 0, r.dA);
        const double b = RealAt(o, 1, r.dB);
        const double sx = RealAt(o, 2, r.dSX);
        const double sy = RealAt(o, 3, r.dSY);
        const int x1 = IntegerAt(o, 4, r.nX1);
        const int y1 = IntegerAt(o, 5, r.nY1);
        const int x2 = IntegerAt(o, 6, r.nX2);
        const int y2 = IntegerAt(o, 7, r.nY2);
        const int iterations = IntegerAt(o, 8, r.nIterations);
        return {[=](uint8_t *p, GeneratorProgress *progress) {
                    FractalParams().Mira(p, h, w, a, b, sx, sy, x1, y1, x2, y2, iterations,
                                         progress);
                },
                std::max(iterations, 0)};
    }
    if (k == "wallpaper") {
        const recipe::WallpaperArgs &r = recipe::kWallpaper;
        const int u = IntegerAt(o, 0, r.nUStart);
        const int v = IntegerAt(o, 1, r.nVStart);
        const int span = IntegerAt(o, 2, r.nSpan);
        return {[=](uint8_t *p, GeneratorProgress *) {
                    FractalParams().Wallpaper(p, h, w, u, v, span);
                },
                0};
    }
    // DLA: the command's seed block, then its five passes on one progress record.
    return {[=](uint8_t *p, GeneratorProgress *progress) {
                recipe::SeedDla(p);
                for (const double radius : recipe::kDlaRadii)
                    FractalParams().Dla(p, h, w, recipe::kDlaParticles, radius, seed, progress);
            },
            int64_t(recipe::kDlaParticles) * int64_t(recipe::kDlaRadii.size())};
}

std::string FileError(const CFileException &e)
{
    std::string why = e.m_lOsError ? std::strerror(e.m_lOsError) : "file error";
    return e.m_strFileName + ": " + why;
}

// Why Load refused a file, as far as its first bytes tell.
std::string WhyRefused(const std::string &path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return "a folder, not a file";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::strerror(errno);
    char magic[14] = {};
    in.read(magic, sizeof magic);
    if (in.gcount() < 14)
        return "shorter than a BMP file header";
    if (magic[0] != 'B' || magic[1] != 'M')
        return "not a BMP file";
    return "damaged or unsupported BMP (header, colour table, encoding or pixel data)";
}

// CDib::Save renames a temporary file over its target; a device, a pipe or standard output
// gets the same bytes written in place.
bool SaveDib(const CDib &dib, const std::string &target, std::ostream &err)
{
    if (!OutputFile::WritesInPlace(target)) {
        if (dib.Save(target.c_str()))
            return true;
        err << "velorine-render: cannot write " << target << "\n";
        return false;
    }
    TemporaryFile scratch("velorine-bmp");
    if (!scratch.Create(err))
        return false;
    if (!dib.Save(scratch.Path().c_str())) {
        err << "velorine-render: cannot write " << scratch.Path() << "\n";
        return false;
    }
    std::ifstream in(scratch.Path(), std::ios::binary);
    const std::vector<char> bytes {std::istreambuf_iterator<char>(in), {}};
    return OutputFile(target).WriteAll(bytes.data(), bytes.size(), err);
}

int Open(const Options &o, std::ostream &out, std::ostream &err)
{
    const std::string &path = o.positional[0];
    CDib dib;
    if (!dib.Load(path.c_str())) {
        err << "velorine-render: " << path << ": refused: " << WhyRefused(path) << "\n";
        return 1;
    }
    const int width = dib.GetWidth();
    const int height = std::abs(dib.GetHeight());
    // With a picture on standard output the description moves to standard error.
    std::ostream &about = o.output == "-" || o.png == "-" ? err : out;
    about << path << ": " << width << " x " << height << " pixels, " << dib.GetBitCount()
          << " bits per pixel, " << dib.m_nColors << " colours"
          << (dib.IsTopDown() ? ", top-down" : "") << "\n";
    if (o.output && !SaveDib(dib, *o.output, err))
        return 1;
    if (o.png) {
        QImage image(width, height, QImage::Format_RGB32);
        if (image.isNull()) {
            err << "velorine-render: " << path << ": too large to draw\n";
            return 1;
        }
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            CDC dc(&painter, &image);
            dib.DrawStretched(&dc, 0, 0, width, height);
        }
        QByteArray encoded;
        QBuffer buffer(&encoded);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
            err << "velorine-render: " << path << ": cannot encode the PNG\n";
            return 1;
        }
        if (!OutputFile(*o.png).WriteAll(encoded.constData(), std::size_t(encoded.size()), err))
            return 1;
    }
    return 0;
}

// The palette file the picture is composed with: the user's, or the default palette written
// to a scratch file that lives as long as holder.
std::optional<std::string> PalettePath(const Options &o, std::optional<TemporaryFile> &holder,
                                       std::ostream &err)
{
    if (o.palette)
        return *o.palette;
    holder.emplace("velorine-palette");
    if (!holder->Create(err) || !CDib().WriteDefaultPalette(holder->Path().c_str())) {
        err << "velorine-render: cannot write the default palette\n";
        return std::nullopt;
    }
    return holder->Path();
}

// The colour table as Compose takes it: the file's first 1024 bytes. A file that cannot be
// opened raises CFileException; a short one gives the program's error box and nothing.
std::optional<PaletteTable> ReadPalette(const std::string &path, std::ostream &err)
{
    PaletteTable table;
    CFile file(path.c_str(), CFile::modeRead);
    const std::size_t got = file.Read(table.data(), table.size());
    file.Close();
    if (got < table.size()) {
        CDib().ShowError(nullptr);
        err << "velorine-render: " << path << ": a palette needs 1024 bytes\n";
        return std::nullopt;
    }
    return table;
}

// The leaf painted over a picture composed with the palette: the picture's own colour table.
int RenderLeaf(const Options &o, const std::string &palette, uint32_t seed, std::ostream &err)
{
    TemporaryFile composed("velorine-leaf");
    CDib dib;
    if (!composed.Create(err))
        return 1;
    if (!dib.Compose(composed.Path().c_str(), palette.c_str(), nullptr)) {
        err << "velorine-render: " << palette << ": a palette needs 1024 bytes\n";
        return 1;
    }
    if (!dib.Load(composed.Path().c_str())) {
        err << "velorine-render: cannot read back the composed picture\n";
        return 1;
    }
    Leaf([&dib](int column, int row, uint32_t colour) { dib.SetPixel(column, row, colour); }, seed);
    if (o.bRaw) {
        OutputFile raw(*o.output);
        return raw.WriteAll(dib.m_pBits, kBufferSize, err) ? 0 : 1;
    }
    return SaveDib(dib, *o.output, err) ? 0 : 1;
}

int Render(const Options &o, std::ostream &err, int nProgressFd)
{
    const uint32_t seed = o.seed ? *o.seed : Random::TimeSeed();
    std::optional<TemporaryFile> defaultPalette;
    if (o.strKind == "leaf") {
        const auto palette = PalettePath(o, defaultPalette, err);
        return palette ? RenderLeaf(o, *palette, seed, err) : 1;
    }
    const Job job = Plan(o, seed);

    // Everything that can be refused is refused before the work starts.
    const bool bmp = o.output && !o.bRaw;
    std::optional<PaletteTable> palette;
    if (bmp || o.png) {
        const auto path = PalettePath(o, defaultPalette, err);
        if (!path || !(palette = ReadPalette(*path, err)))
            return 1;
    }
    std::optional<OutputFile> output;
    std::optional<OutputFile> png;
    if (o.output && !output.emplace(*o.output).Reserve(err))
        return 1;
    if (o.png && !png.emplace(*o.png).Reserve(err))
        return 1;

    const int w = o.nWidth;
    const int h = o.nHeight;
    const std::size_t pixels = std::size_t(w) * std::size_t(h);
    std::vector<uint8_t> buffer(pixels, 0);
    const uint8_t *indices = buffer.data();
    GeneratorProgress generated;
    GeneratorProgress written;
    const int64_t total = job.nWork + int64_t(pixels) * ((bmp ? 1 : 0) + (png ? 1 : 0));
    // Messages wait until the bar is gone, so they never share its line.
    std::ostringstream failures;
    bool ok = true;
    {
        ProgressBar bar(o.bQuiet || job.nWork == 0 ? -1 : nProgressFd, [&] {
            return WorkDone {generated.Done() + written.Done(), total};
        });
        job.run(buffer.data(), &generated);
        if (o.bRaw) {
            ok = output->Write(
                [&](std::FILE *file) {
                    return std::fwrite(indices, 1, pixels, file) == pixels
                        ? 0
                        : (errno != 0 ? errno : EIO);
                },
                failures);
        } else if (bmp) {
            ok = output->Write(
                [&](std::FILE *file) {
                    return WriteIndexBmp(file, indices, w, h, *palette, &written);
                },
                failures);
        }
        if (ok && png) {
            ok = png->Write(
                [&](std::FILE *file) {
                    return WriteIndexPng(file, indices, w, h, *palette, &written);
                },
                failures);
        }
    }
    err << failures.str();
    return ok && (!output || output->Commit(err)) && (!png || png->Commit(err)) ? 0 : 1;
}

} // namespace

const char *RenderUsage()
{
    static const std::string text = UsageText();
    return text.c_str();
}

int RenderMain(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
               int nProgressFd)
{
    try {
        const Options o = Parse(args);
        return o.strKind == "open" ? Open(o, out, err) : Render(o, err, nProgressFd);
    } catch (const BadArgument &e) {
        err << "velorine-render: bad argument '" << e.strArg << "': " << e.strWhy << "\n"
            << RenderUsage();
        return 2;
    } catch (const CFileException &e) {
        err << "velorine-render: " << FileError(e) << "\n";
        return 1;
    } catch (const CMemoryException &) {
        err << "velorine-render: out of memory\n";
        return 1;
    } catch (const std::bad_alloc &) {
        err << "velorine-render: out of memory\n";
        return 1;
    }
}
