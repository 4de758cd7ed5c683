#include "ui/display_box.hpp"

#include <algorithm>
#include <climits>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <type_traits>

namespace velmora::ui {
namespace {

const QColor kBackground(0x80, 0x80, 0x80);
const QColor kText(Qt::black);

// Lines are stored in blocks of this many characters; a line of more than an eighth of a block
// gets a block of its own, so at most an eighth of each block is left unused.
constexpr qsizetype kBlockSize = qsizetype{1} << 20;
// A line longer than this is measured and painted a piece at a time; a shorter one is laid out
// whole, exactly as the font shapes it.
constexpr qsizetype kLongLine = 1024;
// Characters between two checkpoints of a long line.
constexpr qsizetype kCheckpointStride = 1024;
// Pixels painted beyond each side of the view, so that a character cut by the edge, and any mark
// that joins it, is drawn whole.
constexpr qint64 kPaintMargin = 64;

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

// Text the painter draws without copying it: the box's own storage outlives the call.
QString borrowed(QStringView text) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.utf16()), text.size());
}

} // namespace

void PrintedLines::clear() {
    std::deque<Run>().swap(runs_);
    blocks_.clear();
    sharedBlock_ = 0;
    count_ = 0;
}

bool PrintedLines::append(QAnyStringView line) {
    if (!runs_.empty() && QAnyStringView::equal(runs_.back().view(), line)) {
        ++count_;
        return false;
    }
    // UTF-8 text is converted only now that it is known to be new.
    line.visit([this](auto text) {
        if constexpr (std::is_same_v<decltype(text), QStringView>) {
            runs_.push_back(Run{count_, store(text), text.size()});
        } else {
            const QString converted = text.toString();
            runs_.push_back(Run{count_, store(converted), converted.size()});
        }
    });
    ++count_;
    return true;
}

const char16_t* PrintedLines::store(QStringView text) {
    if (text.isEmpty()) {
        return nullptr;
    }
    std::vector<char16_t>* block = nullptr;
    if (text.size() > kBlockSize / 8) {
        block = &blocks_.emplace_back();
        block->reserve(static_cast<std::size_t>(text.size()));
    } else {
        const auto fits = [&] {
            const std::vector<char16_t>& shared = blocks_[sharedBlock_];
            return shared.capacity() - shared.size() >= static_cast<std::size_t>(text.size());
        };
        if (sharedBlock_ >= blocks_.size() || !fits()) {
            sharedBlock_ = blocks_.size();
            blocks_.emplace_back().reserve(kBlockSize);
        }
        block = &blocks_[sharedBlock_];
    }
    const std::size_t start = block->size();
    block->insert(block->end(), text.utf16(), text.utf16() + text.size());
    return block->data() + start;
}

qint64 PrintedLines::repeats(std::size_t run) const {
    const qint64 next = run + 1 < runs_.size() ? runs_[run + 1].firstLine : count_;
    return next - runs_[run].firstLine;
}

std::size_t PrintedLines::runOf(qint64 index) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), index,
                         [](qint64 line, const Run& run) { return line < run.firstLine; });
    return static_cast<std::size_t>(after - runs_.begin()) - 1;
}

QStringView PrintedLines::line(qint64 index) const {
    return runs_[runOf(index)].view();
}

namespace {

int unitsOf(qreal pixels) {
    return std::max(LineMeasure::kUnitsPerPixel, qRound(pixels * LineMeasure::kUnitsPerPixel));
}

qint64 pixelsOf(qint64 units) {
    return (units + LineMeasure::kUnitsPerPixel - 1) / LineMeasure::kUnitsPerPixel;
}

} // namespace

int LineMeasure::measureAt(const QFontMetricsF& metrics, QStringView text, qsizetype index,
                           qsizetype& length) {
    const char16_t unit = text[index].unicode();
    length = 1;
    if (unit < latin1_.size()) {
        int& advance = latin1_[unit];
        if (advance == 0) {
            advance = unitsOf(metrics.horizontalAdvance(QChar(unit)));
        }
        return advance;
    }
    char32_t code = unit;
    if (QChar::isHighSurrogate(unit) && index + 1 < text.size() &&
        QChar::isLowSurrogate(text[index + 1].unicode())) {
        code = QChar::surrogateToUcs4(unit, text[index + 1].unicode());
        length = 2;
    }
    const auto found = others_.constFind(code);
    if (found != others_.cend()) {
        return *found;
    }
    const int advance = unitsOf(metrics.horizontalAdvance(text.sliced(index, length).toString()));
    others_.insert(code, advance);
    return advance;
}

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

// Every search begins here, so its result is shown from the top left, wherever the last one was
// scrolled to.
void DisplayBox::clear() {
    lines_.clear();
    longLines_.clear();
    widest_ = 0;
    scrollBarUpdate_.stop();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void DisplayBox::printLine(QAnyStringView line) {
    if (lines_.append(line)) {
        measure(lines_.runs().size() - 1);
    }
    scheduleScrollBarUpdate();
    // Only a line that lands in view needs painting; the rest show when scrolled to.
    const qint64 row = lineCount() - 1 - verticalScrollBar()->value();
    if (row <= viewport()->height() / lineHeight()) {
        viewport()->update();
    }
}

std::vector<QString> DisplayBox::lines() const {
    std::vector<QString> all;
    all.reserve(static_cast<std::size_t>(lines_.count()));
    for (std::size_t run = 0; run < lines_.runs().size(); ++run) {
        const QString shared = lines_.runs()[run].view().toString();
        all.insert(all.end(), static_cast<std::size_t>(lines_.repeats(run)), shared);
    }
    return all;
}

QString DisplayBox::text() const {
    qint64 size = 0;
    for (std::size_t run = 0; run < lines_.runs().size(); ++run) {
        size += (lines_.runs()[run].size + 1) * lines_.repeats(run);
    }
    QString joined;
    joined.reserve(size);
    for (std::size_t run = 0; run < lines_.runs().size(); ++run) {
        const QStringView printed = lines_.runs()[run].view();
        for (qint64 i = lines_.repeats(run); i > 0; --i) {
            joined += printed;
            joined += QLatin1Char('\n');
        }
    }
    return joined;
}

int DisplayBox::lineHeight() const {
    return fontMetrics().lineSpacing();
}

// Finds the width of a newly stored line for the horizontal scroll bar. A short line is measured
// as the font lays it out; a long one by its characters' advances, with a checkpoint every so
// many characters for painting it later.
void DisplayBox::measure(std::size_t run) {
    const QStringView printed = lines_.runs()[run].view();
    const QFontMetricsF metrics(font());
    qint64 width = 0;
    if (printed.size() <= kLongLine) {
        for (qsizetype i = 0; i < printed.size(); ++i) {
            if (printed[i].unicode() >= 256) {
                width = unitsOf(metrics.horizontalAdvance(printed.toString()));
                break;
            }
            qsizetype length = 1;
            width += measure_.advanceAt(metrics, printed, i, length);
        }
    } else {
        std::vector<Checkpoint> checkpoints;
        checkpoints.reserve(static_cast<std::size_t>(printed.size() / kCheckpointStride) + 1);
        qsizetype nextCheckpoint = 0;
        for (qsizetype i = 0; i < printed.size();) {
            if (i >= nextCheckpoint) {
                checkpoints.push_back(Checkpoint{i, width});
                nextCheckpoint = i + kCheckpointStride;
            }
            qsizetype length = 1;
            width += measure_.advanceAt(metrics, printed, i, length);
            i += length;
        }
        longLines_[run] = std::move(checkpoints);
    }
    widest_ = std::max(widest_, pixelsOf(width));
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
    const qint64 lastTopLine = std::clamp<qint64>(lineCount() - wholeLinesShown, 0, INT_MAX);
    verticalScrollBar()->setRange(0, static_cast<int>(lastTopLine));
    verticalScrollBar()->setPageStep(wholeLinesShown);
    verticalScrollBar()->setSingleStep(1);
    const qint64 lastLeft = std::clamp<qint64>(widest_ - viewport()->width(), 0, INT_MAX);
    horizontalScrollBar()->setRange(0, static_cast<int>(lastLeft));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
}

void DisplayBox::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setPen(kText);
    painter.setFont(font());
    const int height = lineHeight();
    const int ascent = fontMetrics().ascent();
    const qint64 topLine = verticalScrollBar()->value();
    const qint64 first = topLine + event->rect().top() / height;
    const qint64 last = std::min(lineCount() - 1, topLine + event->rect().bottom() / height);
    if (first <= last) {
        const auto& runs = lines_.runs();
        std::size_t run = lines_.runOf(first);
        for (qint64 i = first; i <= last; ++i) {
            while (run + 1 < runs.size() && runs[run + 1].firstLine <= i) {
                ++run;
            }
            drawLine(painter, run, static_cast<int>(i - topLine) * height + ascent);
        }
    }
    if (hasFocus()) {
        drawFocusMark(painter);
    }
}

// Draws one line at the current horizontal scroll position. Of a long line only the characters
// in the visible columns are laid out, found from the checkpoint nearest the view's left edge.
void DisplayBox::drawLine(QPainter& painter, std::size_t run, int baseline) {
    const QStringView printed = lines_.runs()[run].view();
    const qint64 left = horizontalScrollBar()->value();
    const auto longLine = longLines_.find(run);
    if (longLine == longLines_.end()) {
        painter.drawText(static_cast<int>(-left), baseline, borrowed(printed));
        return;
    }
    constexpr int units = LineMeasure::kUnitsPerPixel;
    const qint64 from = (left - kPaintMargin) * units;
    const qint64 to = (left + viewport()->width() + kPaintMargin) * units;
    const std::vector<Checkpoint>& checkpoints = longLine->second;
    auto start =
        std::upper_bound(checkpoints.begin(), checkpoints.end(), from,
                         [](qint64 x, const Checkpoint& checkpoint) { return x < checkpoint.x; });
    if (start != checkpoints.begin()) {
        --start;
    }
    const QFontMetricsF metrics(font());
    qsizetype i = start->index;
    qint64 x = start->x;
    qsizetype length = 1;
    while (i < printed.size()) {
        const int advance = measure_.advanceAt(metrics, printed, i, length);
        if (x + advance > from) {
            break;
        }
        x += advance;
        i += length;
    }
    const qsizetype pieceStart = i;
    const qint64 pieceX = x;
    while (i < printed.size() && x < to) {
        x += measure_.advanceAt(metrics, printed, i, length);
        i += length;
    }
    const QPointF origin(static_cast<qreal>(pieceX) / units - static_cast<qreal>(left), baseline);
    painter.drawText(origin, borrowed(printed.sliced(pieceStart, i - pieceStart)));
}

// The platform's focus rectangle, just inside the sunken edge, so that a keyboard user sees
// where Ctrl+C and the scroll keys go. On this middle gray the styles' own marks all but vanish:
// one inverts the background (and inverted middle gray is the same gray), another draws a faint
// tint of the highlight colour. So the style is told of a white background and a deeper highlight,
// and draws its mark dark enough to see. Only the outline is kept: the box stays gray inside it.
void DisplayBox::drawFocusMark(QPainter& painter) {
    QStyleOptionFocusRect option;
    option.initFrom(viewport());
    option.rect = viewport()->rect().adjusted(1, 1, -1, -1);
    option.backgroundColor = Qt::white;
    option.palette.setColor(QPalette::Highlight,
                            option.palette.color(QPalette::Highlight).darker(200));
    // Some styles draw the mark only after a Tab; the box shows it however it got the focus.
    option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    painter.save();
    painter.setClipRegion(QRegion(option.rect) - QRegion(option.rect.adjusted(1, 1, -1, -1)));
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    painter.restore();
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
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool homeOrEnd = event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
    if (homeOrEnd && (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier)) {
        scrollTo(event->key() == Qt::Key_End);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// The start is the first line, the end the last; both at the left edge, where lines begin.
void DisplayBox::scrollTo(bool end) {
    if (scrollBarUpdate_.isActive()) {
        scrollBarUpdate_.stop();
        updateScrollBars();
    }
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(end ? verticalScrollBar()->maximum() : 0);
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
        measure_.reset();
        longLines_.clear();
        widest_ = 0;
        for (std::size_t run = 0; run < lines_.runs().size(); ++run) {
            measure(run);
        }
        updateScrollBars();
    }
}

} // namespace velmora::ui
