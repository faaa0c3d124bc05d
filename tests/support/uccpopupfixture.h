#pragma once
// The camera control pop-up shown over a fixture that logs recorders in (the panel suite's fake
// hub or the shell suite's grids), with its buttons and lists found by text or object name.
#include <QComboBox>
#include <QLatin1String>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "panels/cucccontrol.h"

template <class Base>
class UccPopupTestOn : public Base
{
protected:
    void SetUp() override
    {
        Base::SetUp();
        popup = std::make_unique<cUccControl>();
        popup->show();
    }
    void TearDown() override
    {
        popup.reset();
        Base::TearDown();
    }

    QPushButton* Button(const QString& text) const
    {
        for (QPushButton* button : popup->findChildren<QPushButton*>()) {
            if (button->text() == text || button->objectName() == text)
                return button;
        }
        return nullptr;
    }
    void Click(const QString& text)
    {
        QPushButton* button = Button(text);
        ASSERT_NE(button, nullptr) << text.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QComboBox* List(const char* name) const { return popup->findChild<QComboBox*>(QLatin1String(name)); }

    std::unique_ptr<cUccControl> popup;
};
