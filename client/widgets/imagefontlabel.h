#pragma once
// A plain label of the configuration console, styled by the console itself.
#include <QLabel>

class imageFontLabel : public QLabel
{
    Q_OBJECT

public:
    explicit imageFontLabel(QWidget* parent);
};
