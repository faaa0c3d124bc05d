#pragma once
// The frame the validation console's entry dialogs share: a form of labelled fields over a row
// of OK and Cancel, OK the default, and the same dialog opened only to show an entry (OK hidden,
// Cancel read as Close).
class QDialog;
class QFormLayout;
class QPushButton;

class ValidationFormLayout
{
public:
    // Lays the dialog out as a form over the two buttons; the caller adds its rows to the form.
    static QFormLayout* Frame(QDialog* dialog, QPushButton* ok, QPushButton* cancel);
    // Shows the buttons of an editable entry, or of one only shown.
    static void ShowButtons(QPushButton* ok, QPushButton* cancel, bool viewOnly);
};
