#include "ui/display_box.hpp"

#include "ui/display_box_accessible.hpp"

#include <algorithm>
#include <climits>
#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <type_traits>

namespace velmora::ui {
namespace {

const QColor kBackground(0x80, 0x80, 0x80);
const QColor kText(Qt::black);

} // namespace

DisplayBox::DisplayBox(QWidget* parent) : QAbstractScrollArea(parent) {
    [[maybe_unused]] static const bool factoryInstalled = [] {
        QAccessible::installFactory(DisplayBoxAccessible::create);
        return true;
    }();

    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Window, kBackground);
    viewport()->setPalette(colours);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Window);
    takeFont();

    scrollBarUpdate_.setSingleShot(true);
    scrollBarUpdate_.setInterval(0);
    connect(&scrollBarUpdate_, &QTimer::timeout, this, &DisplayBox::updateScrollBars);
}

// Every search begins here, so its result is shown from the top left, wherever the last one was
// scrolled to.
void DisplayBox::clear() {
    lines_.clear();
    ++changes_;
    updateScrollBars();
    viewport()->update();
}

void DisplayBox::printLine(QAnyStringView line) {
    // The search prints UTF-8, held as it comes; other text is converted first.
    line.visit([this](auto text) {
        if constexpr (std::is_same_v<decltype(text), QUtf8StringView>) {
            lines_.append({reinterpret_cast<const char*>(text.data()),
                           static_cast<std::size_t>(text.size())});
        } else {
            const QByteArray utf8 = text.toString().toUtf8();
            lines_.append({utf8.constData(), static_cast<std::size_t>(utf8.size())});
        }
    });
    ++changes_;
    if (!scrollBarUpdate_.isActive()) {
        scrollBarUpdate_.start();
    }
    viewport()->update();
}

QString DisplayBox::line(qint64 index) const {
    const std::string_view printed = lines_.line(index);
    return QString::fromUtf8(printed.data(), static_cast<qsizetype>(printed.size()));
}

std::vector<QString> DisplayBox::lines() const {
    std::vector<QString> all;
    all.reserve(static_cast<std::size_t>(lineCount()));
    for (qint64 i = 0; i < lineCount(); ++i) {
        all.push_back(line(i));
    }
    return all;
}

QString DisplayBox::text() const {
    const std::string joined = lines_.copyText("\n");
    return QString::fromUtf8(joined.data(), static_cast<qsizetype>(joined.size()));
}

void DisplayBox::copy() const {
    QGuiApplication::clipboard()->setText(text());
}

// The printed lines measure a character at a time, from the advances in the box's font.
void DisplayBox::takeFont() {
    lines_.setFont(
        [metrics = QFontMetricsF(font())](char32_t character) {
            return metrics.horizontalAdvance(QString::fromUcs4(&character, 1));
        },
        fontMetrics().lineSpacing());
}

// Setting a bar's range may move the other bar's position through scrollContentsBy: the position
// the printed lines hold is taken first and set again at the end.
void DisplayBox::updateScrollBars() {
    scrollBarUpdate_.stop();
    const std::int64_t top = lines_.topLine();
    const std::int64_t left = lines_.left();
    const auto clamped = [](std::int64_t value) {
        return static_cast<int>(std::min<std::int64_t>(value, INT_MAX));
    };
    verticalScrollBar()->setRange(0, clamped(lines_.lastTopLine()));
    verticalScrollBar()->setPageStep(lines_.wholeLinesShown());
    horizontalScrollBar()->setRange(0, clamped(lines_.lastLeft()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(lines_.columnStep());
    verticalScrollBar()->setValue(clamped(top));
    horizontalScrollBar()->setValue(clamped(left));
    lines_.scrollTo(top, left);
}

void DisplayBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    painter.setPen(kText);
    painter.setFont(font());
    const int ascent = fontMetrics().ascent();
    for (const PrintedLines::Piece& piece : lines_.visible()) {
        painter.drawText(
            QPointF(piece.x, piece.row * lineHeight() + ascent),
            QString::fromUtf8(piece.text.data(), static_cast<qsizetype>(piece.text.size())));
    }
    // A dotted outline in the text's colour just inside the sunken edge shows a keyboard user where
    // Ctrl+C and the scroll keys go: the styles' own marks all but vanish on this middle gray.
    if (hasFocus()) {
        painter.setPen(QPen(kText, 1, Qt::DotLine));
        painter.drawRect(viewport()->rect().adjusted(1, 1, -2, -2));
    }
    // A screen reader hears of new lines once, when they first show, not at every line.
    if (announced_ != changes_ && QAccessible::isActive()) {
        announced_ = changes_;
        if (const auto* reader =
                dynamic_cast<DisplayBoxAccessible*>(QAccessible::queryAccessibleInterface(this))) {
            reader->announce();
        }
    }
}

void DisplayBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    lines_.setView(viewport()->width(), viewport()->height());
    updateScrollBars();
}

void DisplayBox::scrollContentsBy(int /*dx*/, int /*dy*/) {
    lines_.scrollTo(verticalScrollBar()->value(), horizontalScrollBar()->value());
    viewport()->update();
}

void DisplayBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        // Shift+F10 opens the context menu as the Menu key does, at the box's middle.
        const QPoint middle = viewport()->rect().center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, middle,
                                    viewport()->mapToGlobal(middle));
        contextMenuEvent(&menuEvent);
        return;
    }
    using Step = PrintedLines::Step;
    static const QHash<int, Step> steps{
        {Qt::Key_Up, Step::LineUp},       {Qt::Key_Down, Step::LineDown},
        {Qt::Key_PageUp, Step::PageUp},   {Qt::Key_PageDown, Step::PageDown},
        {Qt::Key_Left, Step::ColumnLeft}, {Qt::Key_Right, Step::ColumnRight},
        {Qt::Key_Home, Step::Start},      {Qt::Key_End, Step::End}};
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const auto found = steps.constFind(event->key());
    if (found == steps.cend() ||
        (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (scrollBarUpdate_.isActive()) {
        updateScrollBars();
    }
    lines_.step(*found);
    updateScrollBars();
}

void DisplayBox::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void DisplayBox::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void DisplayBox::contextMenuEvent(QContextMenuEvent* event) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* copyLines = menu->addAction(QStringLiteral("Copy"), this, &DisplayBox::copy);
    copyLines->setShortcut(QKeySequence::Copy);
    copyLines->setEnabled(lineCount() > 0);
    if (!actions().isEmpty()) {
        menu->addSeparator();
        menu->addActions(actions());
    }
    menu->popup(event->globalPos());
}

void DisplayBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        takeFont();
        updateScrollBars();
    }
}

} // namespace velmora::ui
