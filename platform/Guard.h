#pragma once
// The one guard at every place Qt enters program code (commands, mouse, key and paint
// handlers, dialog buttons, first show, timers). A file or memory exception abandons the work
// and shows the framework's message; no exception ever crosses a Qt event handler.

#include "platform/Exceptions.h"

#include <QString>
#include <new>
#include <utility>

// The framework's text for a file exception, with the path filled in.
QString FileExceptionMessage(const CFileException &e);
// Shows the message for the exception being handled (called from catch blocks only).
void ReportFileException(const CFileException &e);
void ReportMemoryException();
void ReportUnexpectedException(const char *what);

// Runs work(); returns false when it was abandoned by an exception.
template <class F>
bool AfxGuard(F &&work) noexcept
{
    try {
        std::forward<F>(work)();
        return true;
    } catch (const CFileException &e) {
        ReportFileException(e);
    } catch (const CMemoryException &) {
        ReportMemoryException();
    } catch (const std::bad_alloc &) {
        ReportMemoryException();
    } catch (const std::exception &e) {
        ReportUnexpectedException(e.what());
    } catch (...) {
        ReportUnexpectedException(nullptr);
    }
    return false;
}
