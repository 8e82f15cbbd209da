#pragma once

#include <QString>
#include <QWidget>

class QShortcut;

namespace farlous {

// A label that draws its caption as plain text, never as markup: left-aligned from its top-left
// corner, wrapped at word boundaries, cut at its edges. A single '&' is not drawn and underlines
// the next character, the first of which becomes the label's access key (Alt and that key); "&&"
// draws one '&'. The text takes the palette's button-text colour, or black or white when that
// colour would be hard to read on the label's background.
class AccessKeyLabel : public QWidget {
    Q_OBJECT

public:
    explicit AccessKeyLabel(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

    // The control that the access key gives the focus to; a label itself never takes it.
    void setBuddy(QWidget* buddy) { buddy_ = buddy; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QWidget* buddy_ = nullptr;
    QShortcut* accessKey_;
};

}  // namespace farlous
