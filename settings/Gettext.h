#pragma once

// Marking of translatable texts, gettext style; `update-po` extracts both with xgettext.
//
//   N_("Lower")    marks an English text and leaves it as it is: window texts that
//                  TranslateComponent translates (labels, captions, hints, list items).
//   _("Max limit") marks it and translates it at once into the current language (a QString):
//                  texts that no window property holds, set again after a language change.
//
// Texts that are never translated (the fixed Spanish texts, the program title) are not marked.
// Include this header after the library headers: `_` is a common macro name.

#include "settings/TGettext.h"

#ifndef N_
#define N_(text) text
#endif

#ifndef _
#define _(text) TGettext::Translate(text)
#endif
