#include "fractals/Kinds.h"

#include "fractals/FractalParams.h"
#include "fractals/Progress.h"
#include "fractals/Recipes.h"

#include <algorithm>
#include <string>

namespace kinds {
namespace {

int Int(double v)
{
    return static_cast<int>(v);
}

std::vector<Kind> Build()
{
    const FractalParams m;
    const recipe::PlaneArgs &j = recipe::kJuliaPlane;
    const recipe::MartinArgs &ma = recipe::kMartin;
    const recipe::MiraArgs &mi = recipe::kMira;
    const recipe::WallpaperArgs &w = recipe::kWallpaper;
    constexpr Type kInt = Type::Integer;
    const auto pixels = [](int width, int height, const std::vector<double> &) {
        return int64_t(width) * height;
    };
    const auto orbit = [](int, int, const std::vector<double> &a) {
        return int64_t(std::max(Int(a.back()), 0));
    };
    constexpr unsigned kSquare = kBmp | kRaw | kPalette | kSeed;
    constexpr unsigned kPlane = kSquare | kPng | kSize;
    return {
        {"mandelbrot",
         Id::Mandelbrot,
         "",
         {{"XMIN", Type::Real, m.m_dMandelXMin},
          {"XMAX", Type::Real, m.m_dMandelXMax},
          {"YMIN", Type::Real, m.m_dMandelYMin},
          {"YMAX", Type::Real, m.m_dMandelYMax},
          {"BAILOUT", Type::Real, m.m_dMandelBailout, Check::Positive}},
         {0, 4, 5},
         {},
         kPlane,
         true,
         Rendering::EscapeTime,
         [](uint8_t *p, int width, int height, const std::vector<double> &a, uint32_t,
            GeneratorProgress *progress) {
             FractalParams().Mandelbrot(p, width, height, a[0], a[1], a[2], a[3], a[4], progress);
         },
         pixels},
        {"julia",
         Id::Julia,
         "",
         {{"CX", Type::Real, kDefaultJuliaCX},
          {"CY", Type::Real, kDefaultJuliaCY},
          {"XMIN", Type::Real, j.dXMin},
          {"XMAX", Type::Real, j.dXMax},
          {"YMIN", Type::Real, j.dYMin},
          {"YMAX", Type::Real, j.dYMax}},
         {0, 2, 6},
         {},
         kPlane,
         true,
         Rendering::EscapeTime,
         [](uint8_t *p, int width, int height, const std::vector<double> &a, uint32_t,
            GeneratorProgress *progress) {
             FractalParams().Julia(p, width, height, a[0], a[1], a[2], a[3], a[4], a[5], progress);
         },
         pixels},
        {"martin",
         Id::Martin,
         "",
         {{"A", Type::Real, ma.dA},
          {"B", Type::Real, ma.dB},
          {"C", Type::Real, ma.dC},
          {"ITERATIONS", kInt, double(ma.nIterations), Check::Positive}},
         {0, 3, 4},
         {},
         kSquare,
         false,
         Rendering::Orbit,
         [](uint8_t *p, int width, int height, const std::vector<double> &a, uint32_t,
            GeneratorProgress *progress) {
             FractalParams().Martin(p, height, width, a[0], a[1], a[2], Int(a[3]), progress);
         },
         orbit},
        {"mira",
         Id::Mira,
         "",
         {{"A", Type::Real, mi.dA},
          {"B", Type::Real, mi.dB},
          {"SX", Type::Real, mi.dSX},
          {"SY", Type::Real, mi.dSY},
          {"X1", kInt, double(mi.nX1)},
          {"Y1", kInt, double(mi.nY1)},
          {"X2", kInt, double(mi.nX2)},
          {"Y2", kInt, double(mi.nY2)},
          {"ITERATIONS", kInt, double(mi.nIterations), Check::Positive}},
         {0, 8, 9},
         {},
         kSquare,
         false,
         Rendering::Orbit,
         [](uint8_t *p, int width, int height, const std::vector<double> &a, uint32_t,
            GeneratorProgress *progress) {
             FractalParams().Mira(p, height, width, a[0], a[1], a[2], a[3], Int(a[4]), Int(a[5]),
                                  Int(a[6]), Int(a[7]), Int(a[8]), progress);
         },
         orbit},
        {"wallpaper",
         Id::Wallpaper,
         "",
         {{"USTART", kInt, double(w.nUStart)},
          {"VSTART", kInt, double(w.nVStart)},
          {"SPAN", kInt, double(w.nSpan), Check::NonZero}},
         {0, 3},
         {},
         kSquare,
         false,
         Rendering::Pattern,
         [](uint8_t *p, int width, int height, const std::vector<double> &a, uint32_t,
            GeneratorProgress *) {
             FractalParams().Wallpaper(p, height, width, Int(a[0]), Int(a[1]), Int(a[2]));
         },
         [](int, int, const std::vector<double> &) { return int64_t(0); }},
        {"dla",
         Id::Dla,
         "the seed block and five passes",
         {},
         {0},
         {},
         kSquare,
         false,
         Rendering::Growth,
         // The command's seed block, then its five passes on one progress record.
         [](uint8_t *p, int width, int height, const std::vector<double> &, uint32_t seed,
            GeneratorProgress *progress) {
             recipe::SeedDla(p);
             for (const double radius : recipe::kDlaRadii)
                 FractalParams().Dla(p, height, width, recipe::kDlaParticles, radius, seed,
                                     progress);
         },
         [](int, int, const std::vector<double> &) {
             return int64_t(recipe::kDlaParticles) * int64_t(recipe::kDlaRadii.size());
         }},
        {"leaf",
         Id::Leaf,
         "the leaf over a 512x512 8-bit picture",
         {},
         {0},
         {},
         kSquare,
         false,
         Rendering::Painted},
        {"open",
         Id::None,
         "print size, bit count and colour count",
         {{"FILE.bmp", Type::File}},
         {1},
         {},
         kBmp | kPng | kSeed,
         false,
         Rendering::Reader},
    };
}

} // namespace

std::vector<double> Kind::Defaults() const
{
    std::vector<double> values;
    for (const Argument &a : args)
        values.push_back(a.dDefault);
    return values;
}

const std::vector<Kind> &All()
{
    static const std::vector<Kind> table = Build();
    return table;
}

const Kind *Find(std::string_view name)
{
    for (const Kind &k : All())
        if (name == k.pName)
            return &k;
    return nullptr;
}

const Kind &Get(Id id)
{
    for (const Kind &k : All())
        if (k.id == id)
            return k;
    return All().front(); // every id but None is in the table
}

bool HasPlaneWindow(int nDocumentKind)
{
    for (const Kind &k : All())
        if (k.id != Id::None && int(k.id) == nDocumentKind)
            return k.bPlaneWindow;
    return false;
}

std::string NamesTaking(Outputs output)
{
    std::vector<std::string> names;
    for (const Kind &k : All())
        if (k.Takes(output))
            names.emplace_back(k.pName);
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

} // namespace kinds
