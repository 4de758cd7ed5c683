#pragma once

#include <QLineEdit>
#include <QStringList>

namespace velmora::ui {

// One of the fifteen entry boxes: at most three characters of any kind. A paste or drop of a
// text that holds several codes does not go into this box alone: codesPasted hands them to the
// window, which spreads them over this box and the ones after it.
class EntryBox : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int kMaxLength = 3;

    explicit EntryBox(QWidget* parent);

    // Spreads `text` when it holds several codes; false when it is an ordinary paste.
    bool pasteCodes(const QString& text);

signals:
    void codesPasted(const QStringList& codes);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace velmora::ui
