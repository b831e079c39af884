#pragma once
// The deep kind of velorine-render: one picture, or a zoom of K frames whose width goes from W
// to W1 geometrically, each frame's outputs written under a printf-style file name and, with
// --video, piped to ffmpeg. The pictures come from a DeepEngine, so the frame plan and the
// writing can be tested with a stand-in for the arbitrary-precision renderer.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class GeneratorProgress;

namespace CLI {
class App;
}

struct DeepZoomOptions
{
    std::vector<std::string> center; // RE IM, decimal strings kept as written
    std::string strWidth;
    uint32_t nIterations = 10000;
    double dBailout = 100;
    std::string strSize = "512x512";
    std::optional<std::string> toWidth;
    int nFrames = 1;
    std::optional<std::string> frameRange; // "A-B"
    std::optional<std::string> output; // -o: the BMP, or with --raw the index bytes
    std::optional<std::string> png;
    std::optional<std::string> counts;
    std::optional<std::string> palette;
    std::optional<std::string> video;
    double dFps = 30;
    bool bRaw = false;
    bool bQuiet = false;
};

// An argument that cannot be used: the argument and why, one line.
struct DeepBadArgument
{
    std::string strArg;
    std::string strWhy;
};

// The arbitrary-precision side: the real one is MakeDeepEngine's, tests give a stand-in.
class DeepEngine
{
public:
    virtual ~DeepEngine() = default;
    // Empty when text is a usable decimal, otherwise why not in a few words.
    virtual std::string DecimalError(const std::string &text) const = 0;
    // The width of frame k of K on the zoom from w0 to w1.
    virtual std::string FrameWidth(const std::string &w0, const std::string &w1, int k,
                                   int K) const = 0;
    // Readies pictures around the centre at every width from finest up; throws
    // DeepBadArgument for numbers the engine refuses.
    virtual void Prepare(const std::string &re, const std::string &im, const std::string &finest,
                         uint32_t iterations, double bailout)
        = 0;
    // Fills columns x rows counts, row 0 the lowest imaginary part; progress counts pixels.
    virtual void Render(const std::string &width, int columns, int rows, uint32_t *counts,
                        GeneratorProgress *pProgress)
        = 0;
};

// The engine behind fractals/DeepZoom.h.
std::unique_ptr<DeepEngine> MakeDeepEngine();

// Adds the deep kind's options to its command.
void AddDeepZoomOptions(CLI::App &command, DeepZoomOptions &o);

// One frame of the plan: its number on the zoom (0 to K - 1) and its width.
struct DeepFrame
{
    int nIndex = 0;
    std::string strWidth;
};

// What a checked command line renders.
struct DeepZoomPlan
{
    DeepZoomOptions options;
    int nColumns = 0;
    int nRows = 0;
    std::string strFinest; // the finest width on the whole zoom, whatever the range
    std::vector<DeepFrame> frames;
};

// Checks everything that can be checked before any work or any file is touched, and lists the
// frames to render. Throws DeepBadArgument.
DeepZoomPlan PlanDeepZoom(const DeepZoomOptions &o, const DeepEngine &engine);

// Empty when pattern can name the frames of a zoom of frameCount frames (exactly one integer
// conversion such as %05d, %% for a percent sign; with one frame a name without any % is
// taken as it is), otherwise why not.
std::string FrameNameError(const std::string &pattern, int frameCount);
// The file name of frame k; the pattern passed FrameNameError.
std::string FrameName(const std::string &pattern, int k);

// Renders the plan's frames and writes their outputs; the exit status (0, or 1 when a file
// could not be written, with a line on err). A progress bar is drawn on nProgressFd, a
// terminal, unless it is negative or --quiet was given.
int RunDeepZoom(const DeepZoomPlan &plan, DeepEngine &engine, std::ostream &err,
                int nProgressFd = -1);

// The deep kind's arguments and options, for deep --help.
std::string DeepZoomHelp();

// Parses args (the options after the kind), plans and runs on engine: the exit status as
// RenderMain gives it, 2 with one line on err for a bad argument.
int DeepZoomMain(const std::vector<std::string> &args, DeepEngine &engine, std::ostream &err,
                 int nProgressFd = -1);
