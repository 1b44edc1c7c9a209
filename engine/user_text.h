// Marks a text the user reads without changing it: the engine knows no Qt,
// so the front ends translate such texts where they show them
// (services/translation.h). lupdate reads the macro as QT_TRANSLATE_NOOP;
// the context is always "velmora".
#pragma once

#define VELMORA_TEXT(context, text) text
