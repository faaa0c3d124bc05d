#pragma once
// What the still print/save dialog needs of the program: language texts, a message box, the save
// and print choosers and the run's save counter. The main dialog gives SystemStillDialogHost;
// tests give a fake.
#include <QString>

class QPrinter;

class StillDialogHost
{
public:
    virtual ~StillDialogHost() = default;

    virtual QString Text(const QString& key) const = 0;
    // A modal box with an OK button.
    virtual void ShowMessage(const QString& text, const QString& caption) = 0;
    // The path the user chose for the still (empty when cancelled), starting from the proposed name.
    virtual QString AskSavePath(const QString& proposed) = 0;
    // Sets the printer up (a chosen printer, or a PDF file where there is none); false when
    // cancelled.
    virtual bool AskPrinter(QPrinter* printer) = 0;
    // The number of the next default file name; starts at 1 for the program run.
    virtual int SaveCounter() const = 0;
    virtual void CountSave() = 0;
    // The font face of the main dialog (empty: the application's).
    virtual QString FontFamily() const { return QString(); }
};
