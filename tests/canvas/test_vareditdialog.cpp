#include "canvas/undorecords.h"
#include "canvas/vareditdialog.h"
#include "designsnapshot.h"
#include "editorfixture.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {
ToolboxEntry* filterType(EditorFixture& f) {
    return f.type("Filter", {"i"}, {"o"},
                  {{"name", {"lowpass"}}, {"cutoff", {"100"}}, {"order", {"2"}}});
}

QTreeWidgetItem* row(QDialog& dialog, const QString& name) {
    QTreeWidget* list = static_cast<VarEditDialog&>(dialog).list();
    return list->findItems(name, Qt::MatchExactly, 0).value(0);
}

QPushButton* button(QDialog& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}

// An answer that types the values into the "Value" cells and presses the button.
std::function<int(QDialog&)> answer(QMap<QString, QString> values, const char* pressed) {
    return [values, pressed](QDialog& dialog) {
        for (auto it = values.begin(); it != values.end(); ++it) {
            row(dialog, it.key())->setText(1, it.value());
        }
        button(dialog, pressed)->click();
        return dialog.result();
    };
}
} // namespace

class TestVarEditDialog : public QObject {
    Q_OBJECT
private slots:
    void windowShowsTheVariablesWithOnlyValuesEditable() {
        EditorFixture f;
        BlockItem* block = f.place(filterType(f), 100, 100);
        VarEditDialog dialog(&f.editor, block);
        QCOMPARE(dialog.windowTitle(), QString("Variables"));
        QVERIFY(!dialog.parentWidget());
        QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog.size(), QSize(300, 200));
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint)));

        QTreeWidget* list = dialog.list();
        QCOMPARE(list->headerItem()->text(0), QString("Name"));
        QCOMPARE(list->headerItem()->text(1), QString("Value"));
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            rows << list->topLevelItem(i)->text(0) + "=" + list->topLevelItem(i)->text(1);
        }
        QCOMPARE(rows, (QStringList{"cutoff=100", "name=lowpass", "order=2"}));

        dialog.show();
        QVERIFY(button(dialog, "cancelButton")->x() < button(dialog, "okButton")->x());
        dialog.itemDoubleClicked(row(dialog, "order"), 0);
        QVERIFY(!list->itemWidget(row(dialog, "order"), 0));
        dialog.itemDoubleClicked(row(dialog, "order"), 1);
        QVERIFY(qobject_cast<QLineEdit*>(list->itemWidget(row(dialog, "order"), 1)));
    }

    void confirmedChangesAreOneUndoableStep() {
        EditorFixture f;
        ScriptedInteraction script;
        BlockItem* block = f.place(filterType(f), 100, 100);
        block->variables().find("cutoff")->append(DynString("200"));
        block->variables().find("cutoff")->append(DynString("300"));
        const QStringList original = designSnapshot(*f.editor.canvas());

        // Ok with nothing changed records nothing and leaves the flag alone.
        script.dialogAnswers.push_back(answer({}, "okButton"));
        f.editor.editVariables(block);
        QVERIFY(f.editor.undoStack().empty());
        QVERIFY(!f.editor.isModified());

        // Cancel forgets the edits.
        script.dialogAnswers.push_back(answer({{"name", "highpass"}}, "cancelButton"));
        f.editor.editVariables(block);
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
        QVERIFY(f.editor.undoStack().empty());

        script.dialogAnswers.push_back(
            answer({{"name", "highpass"}, {"cutoff", "50"}}, "okButton"));
        f.editor.editVariables(block);
        QCOMPARE(script.asked.back().caption, QString("Variables"));
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(block->label(), QString("highpass"));
        QCOMPARE(block->variable("name"), "highpass");
        const ValueList* cutoff = block->variables().find("cutoff");
        QCOMPARE(cutoff->count(), 3); // only the first value is replaced
        QCOMPARE(cutoff->text(0), "50");
        QCOMPARE(cutoff->text(2), "300");
        QVERIFY(f.editor.isModified());
        QCOMPARE(f.editor.undoStack().size(), std::size_t(1));
        QVERIFY(dynamic_cast<VariablesRecord*>(f.editor.undoStack().front()));

        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
        QCOMPARE(block->label(), QString("lowpass"));
    }

    void anEditStillOpenAtOkIsTaken() {
        EditorFixture f;
        ScriptedInteraction script;
        BlockItem* block = f.place(filterType(f), 100, 100);
        script.dialogAnswers.push_back([](QDialog& dialog) {
            auto& edit = static_cast<VarEditDialog&>(dialog);
            dialog.show();
            edit.itemDoubleClicked(row(dialog, "order"), 1);
            auto* editor =
                qobject_cast<QLineEdit*>(edit.list()->itemWidget(row(dialog, "order"), 1));
            if (!editor) {
                return int(QDialog::Rejected);
            }
            editor->setText("4");
            button(dialog, "okButton")->click();
            return dialog.result();
        });
        f.editor.editVariables(block);
        QCOMPARE(block->variable("order"), "4");
        QCOMPARE(f.editor.undoStack().size(), std::size_t(1));
    }
};

DRAFTEL_TEST_MAIN(TestVarEditDialog)
#include "test_vareditdialog.moc"
