#pragma once
#include <QAbstractItemModelTester>
#include <QStringList>

#include <cstring>

// Runs QAbstractItemModelTester on a model and collects its complaints, so that a test can
// assert there were none (its Warning mode only prints them).
class ModelTesterWatch
{
public:
    explicit ModelTesterWatch(QAbstractItemModel* model)
    {
        Failures().clear();
        m_previous = qInstallMessageHandler(&ModelTesterWatch::Handler);
        m_tester = new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    ~ModelTesterWatch()
    {
        delete m_tester;
        qInstallMessageHandler(m_previous);
    }
    static QStringList& Failures()
    {
        static QStringList failures;
        return failures;
    }

private:
    static void Handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type == QtWarningMsg && context.category && std::strcmp(context.category, "qt.modeltest") == 0)
            Failures().append(text);
    }

    QtMessageHandler m_previous = nullptr;
    QAbstractItemModelTester* m_tester = nullptr;
};
