#include "cli/RenderCli.h"

#include "cli/DeepZoom.h"
#include "cli/IndexImageWriter.h"
#include "cli/OutputFile.h"
#include "cli/ProgressBar.h"
#include "cli/RenderOptions.h"
#include "cli/TemporaryFile.h"
#include "fractals/Kinds.h"
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

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>

namespace {

constexpr int kPicture = recipe::kPictureSize;
constexpr std::size_t kBufferSize = std::size_t(kPicture) * kPicture;

using Options = RenderOptions;

// A generator call with its numbers read, and how much work its progress record will count
// (0: too quick to be worth a bar).
struct Job
{
    std::function<void(uint8_t *, GeneratorProgress *)> run;
    int64_t nWork = 0;
};

// Reads the numbers of a kind that fills an index buffer, so a bad one is reported before any
// file is touched or any work done. The buffer the job fills starts as zeros.
Job Plan(const Options &o, uint32_t seed)
{
    const kinds::Kind &kind = *o.pKind;
    const std::vector<double> args = ReadArguments(o);
    const int w = o.nWidth;
    const int h = o.nHeight;
    return {[&kind, args, w, h, seed](uint8_t *p, GeneratorProgress *progress) {
                kind.generate(p, w, h, args, seed, progress);
            },
            kind.work(w, h, args)};
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
// opened raises CFileException; a short one gives one line on err and nothing.
std::optional<PaletteTable> ReadPalette(const std::string &path, std::ostream &err)
{
    PaletteTable table;
    CFile file(path.c_str(), CFile::modeRead);
    const std::size_t got = file.Read(table.data(), table.size());
    file.Close();
    if (got < table.size()) {
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
    // Checked first: Compose would raise the window's error box, noise on a terminal.
    if (!ReadPalette(palette, err))
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
    if (o.pKind->rendering == kinds::Rendering::Painted) {
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
        // The deep kind reads its own options: numbers stay decimal strings all the way.
        if (!args.empty() && args[0] == "deep") {
            const std::vector<std::string> rest(args.begin() + 1, args.end());
            const auto end = std::find(rest.begin(), rest.end(), "--");
            if (std::find_if(rest.begin(), end,
                             [](const std::string &a) { return a == "--help" || a == "-h"; })
                != end) {
                out << DeepZoomHelp();
                return 0;
            }
            const std::unique_ptr<DeepEngine> engine = MakeDeepEngine();
            return DeepZoomMain(rest, *engine, err, nProgressFd);
        }
        const Options o = ParseRenderOptions(args);
        switch (o.action) {
        case Options::Action::Usage:
            out << RenderUsage();
            return 0;
        case Options::Action::KindHelp:
            out << KindHelpText(*o.pKind);
            return 0;
        case Options::Action::Version:
            out << VersionText();
            return 0;
        case Options::Action::Render:
            break;
        }
        return o.pKind->rendering == kinds::Rendering::Reader ? Open(o, out, err)
                                                              : Render(o, err, nProgressFd);
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
