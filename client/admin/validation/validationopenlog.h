#pragma once
// One saved event log, shown in an event list, with a Close button.
#include "widgets/cpopupdialog.h"

class TreeModel;

class ValidationOpenLog : public CPopupDialog
{
    Q_OBJECT
public:
    ValidationOpenLog(const QString& path, QWidget* parent = nullptr);
    TreeModel* Model() const { return m_model; }

public slots:
    void onCancelButtonClicked();

private:
    TreeModel* m_model;
};
