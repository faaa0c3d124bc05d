#include "widgets/imagefontlabel.h"

imageFontLabel::imageFontLabel(QWidget* parent)
    : QLabel(parent, Qt::WindowFlags())
{}
