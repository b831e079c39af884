#pragma once
// The program's single-document template as at start-up, with the document, frame and view
// classes a test chooses.

#include "platform/widgets/CSingleDocTemplate.h"
#include "platform/widgets/CWinApp.h"
#include "tests/common/WidgetTestAccess.h"
#include "res/resource.h"

#include <QCoreApplication>
#include <memory>

// Adds the template to app and returns it; its OpenDocumentFile makes the three.
template<class Doc, class Frame, class View> CSingleDocTemplate *AddSingleDocTemplate(CWinApp &app)
{
    auto pTemplate = std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<Doc>(); },
        [] { return std::make_unique<Frame>(); }, [] { return new View; });
    CSingleDocTemplate *pAdded = pTemplate.get();
    app.AddDocTemplate(std::move(pTemplate));
    return pAdded;
}

// Opens the template's document, shows its frame and lets it settle; null when opening failed.
template<class Frame> Frame *OpenAndShow(CSingleDocTemplate &tmpl)
{
    if (!tmpl.OpenDocumentFile())
        return nullptr;
    auto *pFrame = static_cast<Frame *>(TestAccess<CSingleDocTemplate>::Frame(tmpl));
    pFrame->show();
    QCoreApplication::processEvents();
    return pFrame;
}
