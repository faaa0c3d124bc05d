#pragma once
// The "Screen Split" panel: eight buttons, one per grid size, each announcing its size.
#include <QWidget>

#include <memory>

namespace Ui {
class CScrSplit;
}

class CScrSplit : public QWidget
{
    Q_OBJECT

public:
    explicit CScrSplit(QWidget* parent = nullptr);
    ~CScrSplit() override;

signals:
    void OnScrSplit(int split);

private slots:
    // Connected by object name when the form is built.
    void on_split1_clicked();
    void on_split4_clicked();
    void on_split9_clicked();
    void on_split16_clicked();
    // The button's name is older than its size: it offers 25 cells, as the tool bar does.
    void on_split13_clicked();
    void on_split36_clicked();
    void on_split49_clicked();
    void on_split64_clicked();

private:
    std::unique_ptr<Ui::CScrSplit> ui;
};
