#pragma once
// The About (100) and System Information (107) dialog templates; their control ids are in
// res/resource.h.

#include "res/DialogTemplate.h"
#include "res/resource.h"

// The addresses the About dialog's links open.
inline constexpr const char *kAuthorMailAddress = "mailto:velorine@example.org";
inline constexpr const char *kHomePageAddress = "https://velorine.example.org/";

const DialogTemplate &AboutDialogTemplate();
const DialogTemplate &SysInfoDialogTemplate();
