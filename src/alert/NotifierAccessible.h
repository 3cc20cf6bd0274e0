#pragma once

// What a screen reader learns about the pop-up beside the clock. The pop-up paints its text
// itself, so without this it would be a nameless, empty panel: here it is an alert whose name
// is the text it shows. A new text is reported as a change of name and an alert; a text that
// differs from the last one reported only in its digits (the countdown ticking each second) is
// not, or the reader would say it again every second.

class QAccessibleEvent;
class QString;

namespace zembra {

class CTaskbarNotifier;

namespace NotifierAccessible {

// Makes the pop-up known to the accessibility layer (once per process is enough).
void Install();
// The pop-up shows `text` now, after `previous`.
void TextShown(CTaskbarNotifier* notifier, const QString& previous, const QString& text);
// True when two texts read the same once their digits are left out.
bool SameWording(const QString& a, const QString& b);
// Tests: the events the pop-up reports go here instead of to the accessibility layer, which
// passes nothing on where no assistive technology listens. Null restores the layer.
using Reporter = void (*)(QAccessibleEvent* event);
void SetReporterForTesting(Reporter reporter);

} // namespace NotifierAccessible
} // namespace zembra
