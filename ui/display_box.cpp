#include "display_box.hpp"

#include <algorithm>
#include <climits>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

namespace velmora::ui {
namespace {

const QColor kBackground(0x80, 0x80, 0x80);
const QColor kText(Qt::black);

// Screen readers read the box's lines as its value.
class DisplayBoxAccessible : public QAccessibleWidget {
public:
    explicit DisplayBoxAccessible(DisplayBox* box)
        : QAccessibleWidget(box, QAccessible::StaticText) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value || kind == QAccessible::Description) {
            return qobject_cast<const DisplayBox*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    auto* box = qobject_cast<DisplayBox*>(object);
    if (className != QLatin1String("velmora::ui::DisplayBox") || box == nullptr) {
        return nullptr;
    }
    return new DisplayBoxAccessible(box);
}

} // namespace

DisplayBox::DisplayBox(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Base, kBackground);
    colours.setColor(QPalette::Window, kBackground);
    colours.setColor(QPalette::Text, kText);
    colours.setColor(QPalette::WindowText, kText);
    viewport()->setPalette(colours);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Window);

    scrollBarUpdate_.setSingleShot(true);
    scrollBarUpdate_.setInterval(0);
    connect(&scrollBarUpdate_, &QTimer::timeout, this, &DisplayBox::updateScrollBars);
}

void DisplayBox::clear() {
    lines_.clear();
    widest_ = 0;
    scheduleScrollBarUpdate();
    viewport()->update();
}

void DisplayBox::printLine(const QString& line) {
    lines_.push_back(line);
    widest_ = std::max(widest_, widthOf(line));
    scheduleScrollBarUpdate();
    viewport()->update();
}

QString DisplayBox::text() const {
    QString joined;
    for (const QString& line : lines_) {
        joined += line;
        joined += QLatin1Char('\n');
    }
    return joined;
}

int DisplayBox::lineHeight() const {
    return fontMetrics().lineSpacing();
}

int DisplayBox::widthOf(const QString& line) {
    int width = 0;
    for (const QChar character : line) {
        const char16_t code = character.unicode();
        if (code >= advances_.size()) {
            return fontMetrics().horizontalAdvance(line);
        }
        int& advance = advances_[code];
        if (advance == 0) {
            advance = std::max(1, fontMetrics().horizontalAdvance(character));
        }
        width += advance;
    }
    return width;
}

int DisplayBox::lineCount() const {
    return static_cast<int>(std::min<std::size_t>(lines_.size(), INT_MAX));
}

void DisplayBox::copy() const {
    QGuiApplication::clipboard()->setText(text());
}

// The scroll bars are set once after a run of prints, not at every line.
void DisplayBox::scheduleScrollBarUpdate() {
    if (!scrollBarUpdate_.isActive()) {
        scrollBarUpdate_.start();
    }
}

void DisplayBox::updateScrollBars() {
    const int height = lineHeight();
    const int wholeLinesShown = std::max(1, viewport()->height() / height);
    verticalScrollBar()->setRange(0, std::max(0, lineCount() - wholeLinesShown));
    verticalScrollBar()->setPageStep(wholeLinesShown);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, widest_ - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
}

void DisplayBox::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setPen(kText);
    painter.setFont(font());
    const int height = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int left = -horizontalScrollBar()->value();
    const int topLine = verticalScrollBar()->value();
    const int count = lineCount();
    const int lastShown = std::min(count - 1, topLine + event->rect().bottom() / height);
    for (int i = topLine + event->rect().top() / height; i <= lastShown; ++i) {
        painter.drawText(left, (i - topLine) * height + ascent,
                         lines_[static_cast<std::size_t>(i)]);
    }
}

void DisplayBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void DisplayBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void DisplayBox::contextMenuEvent(QContextMenuEvent* event) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* copyLines = menu->addAction(QStringLiteral("Copy"), this, &DisplayBox::copy);
    copyLines->setShortcut(QKeySequence::Copy);
    copyLines->setEnabled(!lines_.empty());
    if (!actions().isEmpty()) {
        menu->addSeparator();
        menu->addActions(actions());
    }
    menu->popup(event->globalPos());
}

void DisplayBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        advances_.fill(0);
        widest_ = 0;
        for (const QString& line : lines_) {
            widest_ = std::max(widest_, widthOf(line));
        }
        updateScrollBars();
    }
}

} // namespace velmora::ui
