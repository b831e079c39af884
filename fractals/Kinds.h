#pragma once
// Every fractal kind as one record: its name on the command line, its arguments and their
// defaults, whether it has a plane window, and how it renders. The renderer's parser and
// usage, the view's commands, the tests and the benchmarks read this table, so a new kind is
// one more record here and its own files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class GeneratorProgress;

namespace kinds {

// The window document's kind numbers; 0 for a kind the window does not draw.
enum class Id : int {
    None = 0,
    Mandelbrot = 1,
    Julia = 2,
    Wallpaper = 3,
    Martin = 4,
    Mira = 5,
    Leaf = 7,
    Dla = 8,
};

enum class Type { Real, Integer, File };
// What a value must be to give more than an empty or one-colour picture (refused otherwise).
enum class Check { Any, Positive, NonZero };

// A positional argument.
struct Argument
{
    const char *pName;
    Type type = Type::Real;
    double dDefault = 0; // unused for a file
    Check check = Check::Any;
};

// An option of one kind alone. Its values are kept as the text given: a number may need more
// digits than a double holds, and the kind reads them itself.
struct Option
{
    const char *pName; // "--center"
    const char *pValues; // "RE IM", empty for a switch
    int nValues = 1; // 0 for a switch
    bool bFile = false; // a file name (it may hold a printf field for a numbered series)
    bool bRequired = false;
    const char *pHelp = "";
};

// The renderer's shared options a kind takes.
enum Outputs : unsigned {
    kBmp = 1, // -o FILE.bmp
    kRaw = 2, // --raw
    kPng = 4, // --png FILE.png
    kSize = 8, // --size WxH
    kPalette = 16, // --palette FILE.rgb
    kSeed = 32, // --seed N
};

enum class Rendering {
    EscapeTime, // a plane of points, each counted on its own: any size
    Orbit, // one long orbit dropped onto the square picture
    Pattern, // a formula of the pixel's position
    Growth, // a random walk that grows a cluster
    Painted, // painted over a composed picture
    Reader, // reads a picture instead of making one
};

// Fills a width x height index buffer (zeros on entry) from the arguments, in the table's
// order with every default filled in.
using Generate = void (*)(uint8_t *buffer, int width, int height, const std::vector<double> &args,
                          uint32_t seed, GeneratorProgress *pProgress);
// The work the progress record will count, 0 when too quick to be worth a bar.
using Work = int64_t (*)(int width, int height, const std::vector<double> &args);

struct Kind
{
    const char *pName;
    Id id;
    const char *pSummary;
    std::vector<Argument> args;
    std::vector<std::size_t> counts; // the numbers of positional arguments accepted
    std::vector<Option> options;
    unsigned outputs;
    bool bPlaneWindow; // a rectangle of the plane the window can zoom into
    Rendering rendering;
    Generate generate = nullptr; // null for the painted and reader kinds
    Work work = nullptr;

    std::vector<double> Defaults() const;
    bool Takes(Outputs output) const { return (outputs & output) != 0; }
};

// Every kind, in the order the usage lists them.
const std::vector<Kind> &All();
// The kind of that command-line name, or null.
const Kind *Find(std::string_view name);
// The kind of that document number (the table holds every one the window uses).
const Kind &Get(Id id);
// Whether the document's kind number has a plane window.
bool HasPlaneWindow(int nDocumentKind);
// The names of the kinds that take an output, "a, b and c".
std::string NamesTaking(Outputs output);

} // namespace kinds
