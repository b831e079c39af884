#pragma once
// The parameter dialogs' templates: 131 (Julia), 144 (Martin), 145 (Mira).

#include "res/DialogTemplate.h"

const DialogTemplate &JuliaDialogTemplate();
const DialogTemplate &MartinDialogTemplate();
const DialogTemplate &MiraDialogTemplate();
