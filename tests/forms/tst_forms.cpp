#include "core/commands.hpp"
#include "forms/forms.hpp"

#include <QTest>
#include <set>
#include <utility>

using namespace velmora::forms;
using velmora::CommandId;
using velmora::WindowId;

namespace {

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

const Control& control(const Form& form, std::string_view name, int index = kNoIndex) {
    const Control* found = findControl(form, name, index);
    if (found == nullptr) {
        qFatal("no control %s(%d) in %s", std::string(name).c_str(), index,
               std::string(form.name).c_str());
    }
    return *found;
}

} // namespace

class FormsTest : public QObject {
    Q_OBJECT

private slots:
    void windowsHaveTheirSettings() {
        QCOMPARE(&form(WindowId::start), &kStartForm);
        QCOMPARE(&form(WindowId::lookup), &kLookupForm);
        QCOMPARE(&form(WindowId::help), &kHelpForm);
        QCOMPARE(kStartForm.client, (TwipsSize{6495, 6240}));
        QCOMPARE(kLookupForm.client, (TwipsSize{7215, 7545}));
        QCOMPARE(kHelpForm.client, (TwipsSize{6120, 10590}));
        QCOMPARE(text(kStartForm.caption), QStringLiteral("3rd Generation F-body Velmora"));
        QCOMPARE(text(kLookupForm.caption), text(kStartForm.caption));
        QCOMPARE(text(kHelpForm.caption), QStringLiteral("Velmora Help"));
        QCOMPARE(kStartForm.background, 0x00000000U);
        QCOMPARE(kLookupForm.background, 0x00000000U);
        QCOMPARE(kHelpForm.background, 0x00FFFFFFU);
        QVERIFY(kStartForm.icon == WindowIcon::Program);
        QVERIFY(kLookupForm.icon == WindowIcon::None && kHelpForm.icon == WindowIcon::None);
        QVERIFY(!kStartForm.canMaximize && !kLookupForm.canMaximize && kHelpForm.canMaximize);
        QVERIFY(kStartForm.onClose == CloseAction::EndProgram);
        QVERIFY(kLookupForm.onClose == CloseAction::EndProgram);
        QVERIFY(kHelpForm.onClose == CloseAction::Destroy);
        QVERIFY(kHelpForm.menus.empty());
    }

    void bothMainWindowsCarryFileAndHelpMenus() {
        const std::pair<const Form*, std::pair<CommandId, CommandId>> mains[] = {
            {&kStartForm, {CommandId::exitProgram, CommandId::showHelp}},
            {&kLookupForm, {CommandId::exitProgram, CommandId::showHelp}}};
        for (const auto& [main, handlers] : mains) {
            QCOMPARE(main->menus.size(), std::size_t{2});
            const Menu& file = main->menus[0];
            const Menu& help = main->menus[1];
            QCOMPARE(text(file.name), QStringLiteral("nfile"));
            QCOMPARE(text(file.caption), QStringLiteral("&File"));
            QCOMPARE(file.entries.size(), std::size_t{1});
            QCOMPARE(text(file.entries[0].name), QStringLiteral("nexit"));
            QCOMPARE(text(file.entries[0].caption), QStringLiteral("Exit"));
            QVERIFY(file.entries[0].shortcut.ctrl && file.entries[0].shortcut.key == 'Q');
            QVERIFY(file.entries[0].command == handlers.first);
            QCOMPARE(text(help.name), QStringLiteral("nhelp"));
            QCOMPARE(text(help.caption), QStringLiteral("&Help"));
            QCOMPARE(help.entries.size(), std::size_t{1});
            QCOMPARE(text(help.entries[0].name), QStringLiteral("nhelp2"));
            QCOMPARE(text(help.entries[0].caption), QStringLiteral("Help"));
            QVERIFY(help.entries[0].shortcut.none());
            QVERIFY(help.entries[0].command == handlers.second);
        }
    }

    void entryBoxesFillTheGridDownEachColumn() {
        QCOMPARE(kEntryBoxCount, velmora::kSlotCount);
        const int lefts[] = {1320, 2280, 3240, 4200, 5160};
        const int tops[] = {120, 720, 1320};
        for (int i = 0; i < kEntryBoxCount; ++i) {
            const Control& box = control(kLookupForm, "txtrpo", i);
            QCOMPARE(box.rect, (TwipsRect{lefts[i / 3], tops[i % 3], 735, 375}));
            QVERIFY(box.kind == ControlKind::TextBox);
            QCOMPARE(box.maxLength, 3);
            QVERIFY(box.sunkenEdge && box.takesFocus);
            QCOMPARE(text(box.accessibleName), QStringLiteral("RPO code %1").arg(i + 1));
        }
        // The grid is centred in the client width and ends above the buttons.
        QCOMPARE(entryBoxRect(0).left, kLookupForm.client.width - entryBoxRect(14).right());
        QCOMPARE(entryBoxRect(14).bottom(), 1695);
    }

    void controlsStandWhereTheLayoutsPutThem() {
        QCOMPARE(control(kStartForm, "Picture1").rect, (TwipsRect{0, 120, 6495, 4455}));
        QCOMPARE(control(kStartForm, "cmdlookup").rect, (TwipsRect{2280, 4680, 2055, 615}));
        QCOMPARE(control(kStartForm, "Label1").rect, (TwipsRect{600, 5640, 5295, 375}));
        QCOMPARE(control(kLookupForm, "Label1").rect, (TwipsRect{1080, 6600, 5295, 855}));
        QCOMPARE(control(kLookupForm, "cmdlookup").rect, (TwipsRect{1320, 1920, 3135, 615}));
        QCOMPARE(control(kLookupForm, "pic1").rect, (TwipsRect{120, 2760, 6975, 3615}));
        QCOMPARE(control(kLookupForm, "cmdclear").rect, (TwipsRect{4800, 1920, 1095, 615}));
        QCOMPARE(control(kHelpForm, "Picture1").rect, (TwipsRect{0, 120, 6135, 6615}));
        QCOMPARE(control(kHelpForm, "Label1").rect, (TwipsRect{240, 7080, 5775, 615}));
        QCOMPARE(control(kHelpForm, "Label2").rect, (TwipsRect{240, 7800, 5775, 255}));
        QCOMPARE(control(kHelpForm, "Label3").rect, (TwipsRect{240, 8400, 5775, 615}));
        QCOMPARE(control(kHelpForm, "Command1").rect, (TwipsRect{1800, 9600, 2295, 615}));
        QCOMPARE(kHelpForm.lines.size(), std::size_t{3});
        QCOMPARE((std::tuple{kHelpForm.lines[0].x1, kHelpForm.lines[0].y, kHelpForm.lines[0].x2}),
                 (std::tuple{-120, 6840, 6120}));
        QVERIFY(kHelpForm.lines[0].style == LineStyle::Solid);
        for (std::size_t i = 1; i < 3; ++i) {
            QCOMPARE(kHelpForm.lines[i].x1, 0);
            QCOMPARE(kHelpForm.lines[i].x2, 6120);
            QVERIFY(kHelpForm.lines[i].style == LineStyle::Dotted);
        }
        QCOMPARE(kHelpForm.lines[1].y, 8160);
        QCOMPARE(kHelpForm.lines[2].y, 9240);
    }

    void noControlOverlapsAnother() {
        for (const Form* window : kForms) {
            for (const Control& a : window->controls) {
                for (const Control& b : window->controls) {
                    if (&a == &b) {
                        continue;
                    }
                    const bool apart =
                        a.rect.right() <= b.rect.left || b.rect.right() <= a.rect.left ||
                        a.rect.bottom() <= b.rect.top || b.rect.bottom() <= a.rect.top;
                    QVERIFY2(apart, qPrintable(text(window->name) + ": " + text(a.name) +
                                               " overlaps " + text(b.name)));
                }
            }
        }
    }

    void textsAreKeptByteForByte() {
        QCOMPARE(text(control(kLookupForm, "cmdlookup").caption), QStringLiteral("Search "));
        QCOMPARE(text(control(kLookupForm, "cmdclear").caption), QStringLiteral("Clear"));
        QCOMPARE(text(control(kStartForm, "cmdlookup").caption),
                 QStringLiteral("Look up RPO Codes"));
        QCOMPARE(text(control(kHelpForm, "Command1").caption), QStringLiteral("Close Help Box"));
        QCOMPARE(text(control(kStartForm, "Label1").caption),
                 QStringLiteral(
                     "This program searches RPO codes for 1982 - 1992 Firebirds and Camaros."));
        const QString note = text(control(kLookupForm, "Label1").caption);
        QVERIFY(note.startsWith(QStringLiteral("      The RPO codes in this program")));
        QCOMPARE(note.count(QStringLiteral(".  ")), 2);
        QVERIFY(note.endsWith(QStringLiteral("There may be some RPO codes not included in this "
                                             "program.")));
        QVERIFY(text(control(kHelpForm, "Label1").caption)
                    .contains(QStringLiteral("disappear.  Click on the \"Search\" button agian")));
        QCOMPARE(text(control(kHelpForm, "Label2").caption),
                 QStringLiteral(
                     "- Clicking the \"Clear\" button will only clear the white input boxes."));
        QVERIFY(text(control(kHelpForm, "Label3").caption)
                    .endsWith(QStringLiteral("properly.  A 'File not found' error will result if "
                                             "the program is placed in a different dirctory than "
                                             "the text file.")));
    }

    void coloursAreTheStoredValues() {
        QCOMPARE(control(kStartForm, "cmdlookup").background, std::optional<Colour>(0x8000000AU));
        QCOMPARE(control(kLookupForm, "cmdlookup").background, std::optional<Colour>(0x00808080U));
        QVERIFY(!control(kLookupForm, "cmdclear").background.has_value());
        QCOMPARE(control(kLookupForm, "pic1").background, std::optional<Colour>(kGray));
        QCOMPARE(control(kHelpForm, "Picture1").background, std::optional<Colour>(0x8000000FU));
        QVERIFY(isSystemColour(0x8000000FU) && systemColourEntry(0x8000000FU) == 15);
        QVERIFY(!isSystemColour(kWhite));
        constexpr Colour orange = 0x0000A5FF;
        QCOMPARE((std::tuple{red(orange), green(orange), blue(orange)}), (std::tuple{255, 165, 0}));
        for (const Form* window : {&kStartForm, &kLookupForm}) {
            QCOMPARE(control(*window, "Label1").background, std::optional<Colour>(kBlack));
            QCOMPARE(control(*window, "Label1").foreground, std::optional<Colour>(kWhite));
        }
    }

    void tabIndicesAreUniqueDenseAndInTheirOrder() {
        for (const Form* window : kForms) {
            std::set<int> seen;
            for (const Control& each : window->controls) {
                QVERIFY(seen.insert(each.tabIndex).second);
            }
            QCOMPARE(static_cast<std::size_t>(*seen.rbegin() + 1), window->controls.size());
            QCOMPARE(*seen.begin(), 0);
        }
        QStringList lookupOrder;
        for (int tab = 0; tab < 19; ++tab) {
            const Control* each = controlAtTab(kLookupForm, tab);
            QVERIFY(each != nullptr);
            lookupOrder << text(each->name) +
                               (each->index == kNoIndex ? QString() : QString::number(each->index));
        }
        QCOMPARE(lookupOrder, (QStringList{"Label1", "cmdlookup", "txtrpo0", "pic1", "txtrpo1",
                                           "txtrpo2", "txtrpo3", "txtrpo4", "txtrpo5", "txtrpo6",
                                           "txtrpo7", "txtrpo8", "txtrpo9", "txtrpo10", "txtrpo11",
                                           "txtrpo12", "txtrpo13", "txtrpo14", "cmdclear"}));
        QCOMPARE(text(firstFocus(kStartForm)->name), QStringLiteral("Picture1"));
        QCOMPARE(text(firstFocus(kLookupForm)->name), QStringLiteral("cmdlookup"));
        QCOMPARE(text(firstFocus(kHelpForm)->name), QStringLiteral("Command1"));
        for (const Form* window : kForms) {
            for (const Control& each : window->controls) {
                QCOMPARE(each.takesFocus, each.kind != ControlKind::Label);
            }
        }
    }

    // Every button runs a command, and every command is bound to a button or a menu entry.
    void everyCommandIsBound() {
        std::set<CommandId> bound;
        for (const Form* window : kForms) {
            for (const Control& each : window->controls) {
                QCOMPARE(each.command.has_value(), each.kind == ControlKind::CommandButton);
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
};

QTEST_APPLESS_MAIN(FormsTest)
#include "tst_forms.moc"
