#pragma once

#include <QLabel>

/// A label that says when its caption is set, as `lblWoord` must: every
/// setting counts, the same text again included.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    void setCaption(const QString &caption)
    {
        setText(caption);
        emit captionChanged();
    }

signals:
    void captionChanged();
};
