#include "cli/RenderCli.h"

#include "cli/OutputFile.h"
#include "cli/TemporaryFile.h"
#include "fractals/FractalParams.h"
#include "fractals/Leaf.h"
#include "fractals/Random.h"
#include "image/CDib.h"
#include "platform/CDC.h"
#include "platform/Exceptions.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>

namespace {

constexpr int kPicture = 512;
constexpr std::size_t kBufferSize = std::size_t(kPicture) * kPicture;

const char *const kUsage
    = "usage: velorine-render KIND [ARGS...] [-o FILE] [--palette FILE.rgb] [--seed N] [--raw]\n"
      "  mandelbrot [XMIN XMAX YMIN YMAX [BAILOUT]]      defaults: -2.25 0.75 -1.5 1.5 100\n"
      "  julia      [CX CY [XMIN XMAX YMIN YMAX]]        defaults: -0.22375 0.76508, -1.5..1.5\n"
      "  martin     [A B C [ITERATIONS]]                 defaults: 10 100 -10 600000\n"
      "  mira       [A B SX SY X1 Y1 X2 Y2 [ITERATIONS]] defaults: -0.25 0.998 3 0 -16 -12 16 12 "
      "600000\n"
      "  wallpaper  [USTART VSTART SPAN]                 defaults: 10 10 80\n"
      "  dla                                             the seed block and five passes\n"
      "  leaf                                            the leaf over a 512x512 8-bit picture\n"
      "  open FILE.bmp [--png OUT.png]                   print size, bit count and colour "
      "count\n";

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
    bool bRaw = false;
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
        } else if (a == "--raw")
            o.bRaw = true;
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
    if (o.strKind == "open") {
        if (o.bRaw)
            throw BadArgument {"--raw", "not used by open"};
        if (o.palette)
            throw BadArgument {"--palette", "not used by open"};
        if (o.output && o.output->empty())
            throw BadArgument {"-o", "empty file name"};
    } else {
        if (o.png)
            throw BadArgument {"--png", "only open writes a PNG"};
        if (!o.output)
            o.output = o.strKind + ".bmp";
        if (o.output->empty())
            throw BadArgument {"-o", "empty file name"};
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

// Fills the index buffer of every kind but the leaf and open. Parses the numbers first, so a
// bad one is reported before any work.
std::vector<uint8_t> Generate(const Options &o, uint32_t seed)
{
    FractalParams params;
    std::vector<uint8_t> buffer(kBufferSize, 0);
    uint8_t *p = buffer.data();
    const std::string &k = o.strKind;
    if (k == "mandelbrot") {
        const double xMin = RealAt(o, 0, params.m_dMandelXMin);
        const double xMax = RealAt(o, 1, params.m_dMandelXMax);
        const double yMin = RealAt(o, 2, params.m_dMandelYMin);
        const double yMax = RealAt(o, 3, params.m_dMandelYMax);
        const double bailout = RealAt(o, 4, params.m_dMandelBailout);
        params.Mandelbrot(p, kPicture, kPicture, xMin, xMax, yMin, yMax, bailout);
    } else if (k == "julia") {
        const double cx = RealAt(o, 0, kDefaultJuliaCX);
        const double cy = RealAt(o, 1, kDefaultJuliaCY);
        const double xMin = RealAt(o, 2, -1.5);
        const double xMax = RealAt(o, 3, 1.5);
        const double yMin = RealAt(o, 4, -1.5);
        const double yMax = RealAt(o, 5, 1.5);
        params.Julia(p, kPicture, kPicture, cx, cy, xMin, xMax, yMin, yMax);
    } else if (k == "martin") {
        const double a = RealAt(o, 0, 10.0);
        const double b = RealAt(o, 1, 100.0);
        const double c = RealAt(o, 2, -10.0);
        const int iterations = IntegerAt(o, 3, 600000);
        params.Martin(p, kPicture, kPicture, a, b, c, iterations);
    } else if (k == "mira") {
        const double a = RealAt(o, 0, -0.25);
        const double b = RealAt(o, 1, 0.998);
        const double sx = RealAt(o, 2, 3.0);
        const double sy = RealAt(o, 3, 0.0);
        const int x1 = IntegerAt(o, 4, -16);
        const int y1 = IntegerAt(o, 5, -12);
        const int x2 = IntegerAt(o, 6, 16);
        const int y2 = IntegerAt(o, 7, 12);
        const int iterations = IntegerAt(o, 8, 600000);
        params.Mira(p, kPicture, kPicture, a, b, sx, sy, x1, y1, x2, y2, iterations);
    } else if (k == "wallpaper") {
        const int u = IntegerAt(o, 0, 10);
        const int v = IntegerAt(o, 1, 10);
        const int span = IntegerAt(o, 2, 80);
        params.Wallpaper(p, kPicture, kPicture, u, v, span);
    } else if (k == "dla") {
        for (int row = 254; row <= 257; ++row)
            for (int col = 254; col <= 257; ++col)
                buffer[std::size_t(row) * kPicture + col] = 255;
        for (const double radius : {0.12, 0.18, 0.24, 0.31, 0.37})
            params.Dla(p, kPicture, kPicture, 2000, radius, seed);
    }
    return buffer;
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
    out << path << ": " << width << " x " << height << " pixels, " << dib.GetBitCount()
        << " bits per pixel, " << dib.m_nColors << " colours"
        << (dib.IsTopDown() ? ", top-down" : "") << "\n";
    if (o.output && !dib.Save(o.output->c_str())) {
        err << "velorine-render: cannot write " << *o.output << "\n";
        return 1;
    }
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
        QSaveFile file(QString::fromStdString(*o.png));
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
            err << "velorine-render: cannot write " << *o.png << ": "
                << file.errorString().toStdString() << "\n";
            return 1;
        }
    }
    return 0;
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
    if (!dib.Save(o.output->c_str())) {
        err << "velorine-render: cannot write " << *o.output << "\n";
        return 1;
    }
    return 0;
}

int Render(const Options &o, std::ostream &err)
{
    const uint32_t seed = o.seed ? *o.seed : Random::TimeSeed();
    std::optional<std::vector<uint8_t>> buffer;
    if (o.strKind != "leaf")
        buffer = Generate(o, seed);
    if (buffer && o.bRaw) {
        OutputFile raw(*o.output);
        return raw.WriteAll(buffer->data(), buffer->size(), err) ? 0 : 1;
    }

    std::optional<TemporaryFile> defaultPalette;
    std::string palette;
    if (o.palette) {
        palette = *o.palette;
    } else {
        defaultPalette.emplace("velorine-palette");
        if (!defaultPalette->Create(err)
            || !CDib().WriteDefaultPalette(defaultPalette->Path().c_str())) {
            err << "velorine-render: cannot write the default palette\n";
            return 1;
        }
        palette = defaultPalette->Path();
    }
    if (!buffer)
        return RenderLeaf(o, palette, seed, err);

    OutputFile bmp(*o.output);
    if (!bmp.Reserve(err))
        return 1;
    if (!CDib().Compose(bmp.Path().c_str(), palette.c_str(), buffer->data())) {
        err << "velorine-render: " << palette << ": a palette needs 1024 bytes\n";
        return 1;
    }
    return bmp.Commit(err) ? 0 : 1;
}

} // namespace

const char *RenderUsage()
{
    return kUsage;
}

int RenderMain(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    try {
        const Options o = Parse(args);
        return o.strKind == "open" ? Open(o, out, err) : Render(o, err);
    } catch (const BadArgument &e) {
        err << "velorine-render: bad argument '" << e.strArg << "': " << e.strWhy << "\n" << kUsage;
        return 2;
    } catch (const CFileException &e) {
        err << "velorine-render: " << FileError(e) << "\n";
        return 1;
    } catch (const CMemoryException &) {
        err << "velorine-render: out of memory\n";
        return 1;
    }
}
