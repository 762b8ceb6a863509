#pragma once

// Helpers of the dialog tests: scripted prompts, the dialogs' buttons and fields, and a
// comma-decimal locale for a test's scope.

#include "editor/ScriptedPrompts.h"
#include "support/CommaLocale.h"
#include "support/QtApp.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dialog_test {

using editor_test::ScriptedPrompts;

// Qt up, and ScriptedPrompts installed for the test's lifetime.
class DialogTest : public testing::Test {
protected:
    DialogTest() {
        EnsureQtApp();
        auto prompts = std::make_unique<ScriptedPrompts>();
        m_prompts = prompts.get();
        m_previous = SparvPrompts::Install(std::move(prompts));
    }
    ~DialogTest() override { SparvPrompts::Install(std::move(m_previous)); }

    ScriptedPrompts& prompts() { return *m_prompts; }

    static QPushButton* Button(QDialog& dialog, QDialogButtonBox::StandardButton which) {
        return dialog.findChild<QDialogButtonBox*>()->button(which);
    }
    static void ClickOk(QDialog& dialog) { Button(dialog, QDialogButtonBox::Ok)->click(); }
    static void ClickCancel(QDialog& dialog) { Button(dialog, QDialogButtonBox::Cancel)->click(); }
    static QLineEdit* Field(QDialog& dialog, const char* objectName) {
        auto* field = dialog.findChild<QLineEdit*>(QString::fromLatin1(objectName));
        EXPECT_NE(field, nullptr) << objectName;
        return field;
    }

private:
    ScriptedPrompts* m_prompts = nullptr;
    std::unique_ptr<SparvPrompts> m_previous;
};

// German number conventions for Qt and, where the machine has a comma locale, for the C
// library; restored on destruction.
class CommaLocale {
public:
    CommaLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~CommaLocale() { QLocale::setDefault(m_previousQt); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

private:
    QLocale m_previousQt;
    ::CommaLocale m_c;
};

} // namespace dialog_test
