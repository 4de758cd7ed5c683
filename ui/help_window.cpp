#include "help_window.hpp"

#include "assets.hpp"
#include "command_button.hpp"
#include "picture_box.hpp"
#include "twips.hpp"
#include "window_look.hpp"
#include "windows.hpp"

#include <QLabel>
#include <QPainter>

namespace velmora::ui {
namespace {

struct Layout {
    TwipsSize client{6120, 10590};
    TwipsRect Picture1{0, 120, 6135, 6615};
    TwipsLine Line1{-120, 6840, 6120};
    TwipsRect Label1{240, 7080, 5775, 615};
    TwipsRect Label2{240, 7800, 5775, 255};
    TwipsLine Line2{0, 8160, 6120};
    TwipsRect Label3{240, 8400, 5775, 615};
    TwipsLine Line3{0, 9240, 6120};
    TwipsRect Command1{1800, 9600, 2295, 615};
};
constexpr Layout kLayout;

const QString kNote1 = QStringLiteral(
    "- If this program is minimized, or if another program is opened up over top of this "
    "program, the data in the gray display box may disappear.  Click on the \"Search\" button "
    "agian to redisplay the RPO codes and their descriptions.");
const QString kNote2 =
    QStringLiteral("- Clicking the \"Clear\" button will only clear the white input boxes.");
const QString kNote3 = QStringLiteral(
    "The EXECUTABLE file AND the TEXT file MUST be in the SAME FOLDER in order for the program "
    "to function properly.  A 'File not found' error will result if the program is placed in a "
    "different dirctory than the text file.");

QLabel* makeNote(const QString& text, const TwipsRect& place, const QString& name,
                 QWidget* parent) {
    auto* note = new QLabel(text, parent);
    note->setObjectName(name);
    note->setGeometry(place.pixels());
    styleLabel(*note, kBlack, kWhite);
    return note;
}

} // namespace

helpform::helpform() {
    setObjectName(QStringLiteral("helpform"));
    setWindowTitle(QStringLiteral("Velmora Help"));
    setTitleBarControls(*this, true);
    setBackground(*this, kWhite);
    // Closing it with the title bar destroys it; the next Help makes it anew.
    setAttribute(Qt::WA_DeleteOnClose);

    // Built in tab order: the button first, so Enter or Space closes the window at once.
    Command1_ = place(new CommandButton(QStringLiteral("Close Help Box"), this),
                      QStringLiteral("Command1"), kLayout.Command1);

    Picture1_ = place(new PictureBox(assets::helpPicture(), this), QStringLiteral("Picture1"),
                      kLayout.Picture1);
    Picture1_->setAccessibleName(QStringLiteral("Help picture"));
    // Its background, system colour 15, shows in the strip right of the picture.
    Picture1_->setBackgroundRole(QPalette::Button);

    Label1_ = makeNote(kNote1, kLayout.Label1, QStringLiteral("Label1"), this);
    Label2_ = makeNote(kNote2, kLayout.Label2, QStringLiteral("Label2"), this);
    Label3_ = makeNote(kNote3, kLayout.Label3, QStringLiteral("Label3"), this);

    setTabOrder(Command1_, Picture1_);
    Command1_->setFocus();
    resize(kLayout.client.pixels());

    connect(Command1_, &QPushButton::clicked, this, &helpform::helpform_Command1_Click);
}

void helpform::helpform_Command1_Click() {
    Windows::hide(Windows::help());
}

void helpform::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::SolidLine));
    painter.drawLine(kLayout.Line1.from(), kLayout.Line1.to());
    // The second and third separators are dotted.
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawLine(kLayout.Line2.from(), kLayout.Line2.to());
    painter.drawLine(kLayout.Line3.from(), kLayout.Line3.to());
}

} // namespace velmora::ui
