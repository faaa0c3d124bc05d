#include "validation/validationopenlog.h"

#include "core/treemodel.h"
#include "validation/validationeventrows.h"

#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

ValidationOpenLog::ValidationOpenLog(const QString& path, QWidget* parent)
    : CPopupDialog(parent)
    , m_model(new TreeModel(ValidationEventRows::EventHeaders(), this))
{
    setWindowTitle(QStringLiteral("Open Log"));
    ValidationEventRows(*m_model).LoadLog(path);
    auto* view = new QTreeView(this);
    view->setModel(m_model);
    view->setRootIsDecorated(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, &ValidationOpenLog::onCancelButtonClicked);
    resize(640, 420);
}

void ValidationOpenLog::onCancelButtonClicked()
{
    done(QDialog::Rejected);
}
