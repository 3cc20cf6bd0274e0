#include "model/AlarmTexts.h"

#include <atomic>

namespace zembra {

namespace {
std::atomic<TextTranslator> g_translator{nullptr};
}

void SetTextTranslator(TextTranslator translator)
{
    g_translator.store(translator, std::memory_order_release);
}

std::string TranslateText(const char* context, const char* sourceText)
{
    const TextTranslator translator = g_translator.load(std::memory_order_acquire);
    return translator != nullptr ? translator(context, sourceText) : std::string(sourceText);
}

} // namespace zembra
