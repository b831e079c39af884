#pragma once
// The renderer's command line, read with CLI11 against the table of kinds: each kind is a
// subcommand with its positional numbers, the shared options it takes and options of its own.

#include "fractals/Kinds.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A refused command line: the argument at fault and why, for one line on standard error.
struct BadArgument
{
    std::string strArg;
    std::string strWhy;
};

struct RenderOptions
{
    enum class Action { Render, Usage, KindHelp, Version };
    Action action = Action::Render;
    const kinds::Kind *pKind = nullptr;
    // As typed: the numbers are read by ReadArguments or by the kind itself.
    std::vector<std::string> positional;
    // The kind's own options that were given, each with its values as typed.
    std::map<std::string, std::vector<std::string>> kindValues;
    std::optional<std::string> output;
    std::optional<std::string> palette;
    std::optional<std::string> png;
    std::optional<uint32_t> seed;
    int nWidth = 512;
    int nHeight = 512;
    bool bSized = false;
    bool bRaw = false;
    bool bQuiet = false;
};

// Throws BadArgument. An output left unnamed gets the kind's default BMP name.
RenderOptions ParseRenderOptions(const std::vector<std::string> &args);

// The positional arguments as numbers, each default filled in, each checked against what gives
// a picture. Throws BadArgument.
std::vector<double> ReadArguments(const RenderOptions &o);

std::string UsageText();
// One kind's arguments with their defaults and the options it takes.
std::string KindHelpText(const kinds::Kind &kind);
std::string VersionText();
