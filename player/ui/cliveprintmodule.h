#pragma once
// The still print/save dialog: shows the selected tile's still with the mark and caption block,
// prints it on one landscape page or saves it as JPEG or BMP. The page itself is StillComposer's.
#include "playback/stillcomposer.h"
#include "ui/stillrecord.h"

#include <QDialog>

class QLabel;
class QPrinter;
class QPushButton;
class StillDialogHost;

class CLivePrintModule : public QDialog
{
    Q_OBJECT
public:
    CLivePrintModule(const StillRecord& still, StillDialogHost* host, QWidget* parent = nullptr);

    // Takes a copy of the still: 0 when usable, -1 to -4 as StillComposer::Validate.
    int SetData(const StillRecord& still);
    // An unusable still shows why and ends the dialog at once.
    int exec() override;

    // The page as the preview shows it, printed and saved.
    QImage Page();
    // The source region after zoom and pan (pan pulled back inside the picture).
    QRect SourceRegion();
    // Print: asks for a printer, prints one page. Save: asks for a path, writes the still.
    void OnPrint();
    void OnSave();
    // The part of the two after the choosers; empty text on success, else the error shown.
    QString PrintTo(QPrinter* printer);
    QString SaveTo(const QString& path);
    QString ProposedFileName() const;

private:
    void RefreshPreview();

    StillDialogHost* m_host;
    StillRecord m_still;
    int m_valid = -3;
    QImage m_markBitmap; // the skin's mark, loaded when a usable still opens
    QLabel* m_preview;
    QPushButton* m_print;
    QPushButton* m_save;
    QPushButton* m_cancel;
};
