#pragma once
// The "MP4 Convert" dialog: a list of up to 30 recording files (dropped from the site book or
// handed over by the main window or a grid tile), the container choice (MP4 or AVI), the "OSD"
// choice that burns date and time into the pictures, the output folder, and a worker thread
// that converts the ticked rows one after another.
//
// The worker works on a copy of the list taken when Start is pressed and reaches the widgets
// only through queued signals; the dialog owns the widgets, the model and the thread.
#include "backup/clistconvertmodel.h"

#include <QDialog>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <memory>

class ConvertSource;
class CQThreadHelper;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

class CAVIConvert : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 30;

    explicit CAVIConvert(QWidget* parent = nullptr);
    ~CAVIConvert() override;

    // Adds folder + fileName (folder ends with a separator), ticked. False, after a message box,
    // when the list is full or a file of that name is listed already.
    bool AddList(const QString& folder, const QString& fileName);
    void SetArchivePath(const QString& folder, const QString& fileName);
    void UpdateOutPathName();

    // Shows path in the file manager (its folder, with the file selected where the file
    // manager can).
    static void RevealFile(QWidget* parent, const QString& path);
    static void THREAD_AVI_MUXER(void* dialog, int cell);

    bool IsConverting() const;
    CListConvertModel* Model() const { return model; }

signals:
    void ProgressValue(int percent);
    void FinishPopup(bool stopped);
    // A listed file that gave no output file (emitted before FinishPopup).
    void ConvertFailed(const QString& fileName);

public slots:
    void OnClickedRadio();
    void OnClickedPath();
    void OnClickedStart();
    void OnClickedClose();
    void OnClickedList(const QModelIndex& index);
    void OnFinishPopup(bool stopped);
    void OnProgressValue(int value);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void OnConvertFailed(const QString& fileName);

private:
    struct Job
    {
        QString folder;
        QString fileName;
    };

    void BuildWidgets();
    void ShowBox(const QString& text);
    void RunJobs();
    QString OutputPath() const;

    std::atomic<bool> stopConvert{false};
    std::atomic<bool> destroying{false};
    std::atomic<bool> timeOverlay{false};
    // Reads the recordings for the worker: the hidden one-cell grid in the program.
    std::unique_ptr<ConvertSource> grid;
    CQThreadHelper* worker = nullptr;
    // The output strings are written by the worker and by the dialog.
    mutable QMutex outputLock;
    QString outputFolder;
    QString outputName;
    QString extension = QStringLiteral("mp4");
    QString programDirectory;
    QList<Job> jobs; // the ticked rows when Start was pressed; read by the worker only then
    QStringList failedFiles;

    QLabel* outPathLabel = nullptr;
    QTableView* table = nullptr;
    CListConvertModel* model = nullptr;
    QProgressBar* progress = nullptr;
    QRadioButton* mp4Radio = nullptr;
    QRadioButton* aviRadio = nullptr;
    QCheckBox* osdCheck = nullptr;
    QPushButton* pathButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* closeButton = nullptr;
};
