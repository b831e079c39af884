#pragma once
// The application's single document: the settings that outlive one command (palette path, Julia
// constant and preset, zoom display) and the life of the two working files, written at
// construction and deleted at destruction.

#include "platform/widgets/CDocument.h"

#include <string>

class CVelorineDoc : public CDocument
{
public:
    CVelorineDoc();
    ~CVelorineDoc() override;

    bool OnNewDocument() override;
    void Serialize(CArchive &ar) override;

    // Set when the program ends without closing its window (the context menu's quit): the
    // destructor then leaves the working files in place.
    static void KeepWorkingFiles(bool bKeep);

    double m_dJuliaRe;
    double m_dJuliaIm;
    std::string m_strPalettePath;
    std::string m_strWorkDir;
    int m_nJuliaPreset;
    bool m_bZoomDisplay;
};
