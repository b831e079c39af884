#pragma once
// A video made by an installed ffmpeg from raw RGB frames on its standard input. It is written
// under a temporary name beside the target and put in its place only when ffmpeg has finished
// well, so a failed or interrupted video leaves no partial file.

#include "cli/OutputFile.h"
#include "cli/TemporaryFile.h"

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <sys/types.h>

// The ffmpeg on PATH, or empty when there is none.
std::string FindFfmpeg();

class VideoPipe
{
public:
    // format is ffmpeg's name of the container (mp4, matroska...).
    VideoPipe(std::string ffmpeg, std::string target, std::string format, int columns, int rows,
              double fps);
    ~VideoPipe(); // an unfinished video is abandoned and its temporary file removed
    VideoPipe(const VideoPipe &) = delete;
    VideoPipe &operator=(const VideoPipe &) = delete;

    // Reserves the temporary file and starts ffmpeg; false with a line on err.
    bool Start(std::ostream &err);
    // One frame: columns x rows pixels of red, green, blue, top row first.
    bool Write(const uint8_t *rgb, std::size_t size, std::ostream &err);
    // Ends the stream, waits for ffmpeg and, when it succeeded, commits the video.
    bool Finish(std::ostream &err);

private:
    bool Wait(std::ostream &err);

    std::string m_strTarget;
    std::string m_strFfmpeg;
    std::string m_strFormat;
    int m_nColumns;
    int m_nRows;
    double m_dFps;
    OutputFile m_file;
    TemporaryFile m_log; // ffmpeg's messages, shown when it fails
    int m_nPipe = -1;
    pid_t m_pid = -1;
    struct sigaction m_previousPipe = {};
    bool m_bPipeIgnored = false;
};
