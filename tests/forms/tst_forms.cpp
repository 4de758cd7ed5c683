// What holds of every window the forms describe, whatever their numbers: no control covers
// another, every command is bound, every text can be read (the rest is checked on the windows).

#include "core/commands.hpp"
#include "forms/forms.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <QTest>
#include <set>

using namespace velmora::forms;
using velmora::CommandId;

namespace {

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

// The colours of the platform's standard scheme that a form may name by system colour entry:
// window 5, window text 8, button face 15, button text 18.
double luminance(Colour colour) {
    static const std::map<int, Colour> kScheme{
        {5, 0xFFFFFF}, {8, 0x000000}, {15, 0xF0F0F0}, {18, 0x000000}};
    if (isSystemColour(colour)) {
        const auto found = kScheme.find(systemColourEntry(colour));
        if (found == kScheme.end()) {
            qFatal("system colour %d is not in the test's scheme", systemColourEntry(colour));
        }
        colour = found->second;
    }
    // Relative luminance: each channel to linear light, weighted as the eye sees it.
    const auto linear = [](std::uint32_t channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour & 0xFFU) + 0.7152 * linear((colour >> 8U) & 0xFFU) +
           0.0722 * linear((colour >> 16U) & 0xFFU);
}

} // namespace

class FormsTest : public QObject {
    Q_OBJECT

private slots:
    void noControlOverlapsAnother() {
        for (const Form* window : kForms) {
            for (const Control& a : window->controls) {
                for (const Control& b : window->controls) {
                    const bool apart = &a == &b || a.rect.right() <= b.rect.left ||
                                       b.rect.right() <= a.rect.left ||
                                       a.rect.bottom() <= b.rect.top ||
                                       b.rect.bottom() <= a.rect.top;
                    QVERIFY2(apart, qPrintable(text(window->name) + ": " + text(a.name) +
                                               " overlaps " + text(b.name)));
                }
            }
        }
    }

    // Every command is bound to a button or a menu entry.
    void everyCommandIsBound() {
        std::set<CommandId> bound;
        for (const Form* window : kForms) {
            for (const Control& each : window->controls) {
                if (each.command) {
                    bound.insert(*each.command);
                }
            }
            for (const Menu& menu : window->menus) {
                for (const MenuEntry& entry : menu.entries) {
                    bound.insert(entry.command);
                }
            }
        }
        QCOMPARE(bound.size(), std::size_t{velmora::kCommandCount});
    }

    // Every text a window shows stands out from what is behind it by at least 4.5:1. A label
    // without a colour of its own shows the window's background behind it; buttons are drawn in
    // the standard button colours whatever they store; text defaults to the window-text colour.
    void everyTextCanBeRead() {
        for (const Form* window : kForms) {
            for (const Control& each : window->controls) {
                Colour back = each.background.value_or(window->background);
                Colour fore = each.foreground.value_or(systemColour(8));
                switch (each.kind) {
                case ControlKind::PictureBox:
                    continue;
                case ControlKind::CommandButton:
                    back = systemColour(15);
                    fore = systemColour(18);
                    break;
                case ControlKind::TextBox:
                    back = each.background.value_or(systemColour(5));
                    break;
                case ControlKind::Label:
                case ControlKind::DisplayBox:
                    break;
                }
                const auto [darker, lighter] = std::minmax({luminance(back), luminance(fore)});
                const double contrast = (lighter + 0.05) / (darker + 0.05);
                QVERIFY2(contrast >= 4.5, qPrintable(text(window->name) + '.' + text(each.name) +
                                                     ": " + QString::number(contrast)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(FormsTest)
#include "tst_forms.moc"
