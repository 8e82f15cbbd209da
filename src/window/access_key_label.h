#pragma once

#include <QString>
#include <QWidget>

namespace farlous {

// A label that draws its caption as plain text, never as markup: left-aligned from its top-left
// corner, wrapped at word boundaries, cut at its edges. A single '&' is not drawn and underlines
// the next character; "&&" draws one '&'.
class AccessKeyLabel : public QWidget {
    Q_OBJECT

public:
    explicit AccessKeyLabel(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

}  // namespace farlous
