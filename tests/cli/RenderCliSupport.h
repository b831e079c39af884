#pragma once
// The renderer run as its own process, and ImageMagick's view of what it wrote.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

struct RunResult
{
    int exitCode = -1; // -1 when the process did not exit normally
    QString out;
    QByteArray outBytes; // standard output as written, for pictures sent there
    QString err;
};

// Runs velorine-render with args, standard output and error on pipes. childSetup, when
// given, runs in the child before the program starts (resource limits).
RunResult Render(const QStringList &args, const std::function<void()> &childSetup = {});

// ImageMagick's reading of the file: "WIDTHxHEIGHT", or empty when it cannot read it.
std::string Identify(const std::string &path);

// Pixels that differ between two pictures as ImageMagick's compare counts them, as text.
std::string CountDifferentPixels(const std::string &a, const std::string &b);
