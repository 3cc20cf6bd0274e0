#pragma once

// The alarm's display texts are Polish in the core. A user interface that speaks other languages
// installs one translator function here; the core then asks it for every text it hands out.
// The translator must be callable from any thread.

#include <string>

// Marks a text for the translation tools without translating it where it stands.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace zembra {

using TextTranslator = std::string (*)(const char* context, const char* sourceText);

// Installs the translator (nullptr restores the built-in Polish texts).
void SetTextTranslator(TextTranslator translator);

// The text in the current language.
std::string TranslateText(const char* context, const char* sourceText);

} // namespace zembra
