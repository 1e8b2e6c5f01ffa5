#include "app/mainui.h"
#include "app/mytoolbutton.h"
#include "preferences/preferences.h"
#include "app/startup.h"
#include "app/windowlist.h"
#include "canvas/blocktypedrag.h"
#include "canvas/canvashandler.h"
#include "definitions/toolboxentry.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QMimeData>
#include <QPointer>
#include <QToolBox>

namespace {
void processDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList pageTitles(QToolBox* toolbox) {
    QStringList titles;
    for (int i = 0; i < toolbox->count(); ++i) {
        titles << toolbox->itemText(i);
    }
    return titles;
}

QStringList buttonTexts(QWidget* page) {
    QStringList texts;
    for (MyToolButton* button : page->findChildren<MyToolButton*>()) {
        texts << button->text();
    }
    return texts;
}
} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;

    QString writeDefinition(const QString& name, const QByteArray& text) {
        QDir(scratch.path()).mkpath("defs");
        const QString path = scratch.filePath("defs/" + name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            return {};
        }
        return path;
    }

private slots:
    void init() {
        preferences() = Preferences();
        preferences().definitionsDirectory = scratch.filePath("defs");
    }
    void cleanup() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        processDeletions();
    }

    void catalogueFollowsTheDefinitionFile() {
        const QString path = writeDefinition("order.def", R"(
block Zeta ( o : i ) { category "Math" category "Other" shape "j10e."
                                                             "s." }
block alpha ( : a, b, c ) { }
block Beta ( x, y : ) { category "" shape "first" shape "second" }
)");
        auto* window = new MainUI;
        QCOMPARE(window->loadDefinitions(path), 0);
        QCOMPARE(window->canvasHandler()->definitionFileName(), QString("order.def"));

        const QList<ToolboxEntry*>& catalogue = window->catalogue();
        QCOMPARE(catalogue.size(), 3);
        QCOMPARE(catalogue[0]->name(), std::string("Beta"));
        QCOMPARE(catalogue[1]->name(), std::string("Zeta"));
        QCOMPARE(catalogue[2]->name(), std::string("alpha"));

        QCOMPARE(catalogue[0]->category(), std::string("")); // empty, not "Misc"
        QCOMPARE(catalogue[0]->shape(), std::string("first"));
        QCOMPARE(catalogue[0]->outputNames(), (std::vector<std::string>{"x", "y"}));
        QVERIFY(catalogue[0]->inputNames().empty());
        QCOMPARE(catalogue[1]->category(), std::string("Math"));
        QCOMPARE(catalogue[1]->shape(), std::string("j10e.\ns."));
        QCOMPARE(catalogue[1]->definition(), window->definitions().blocks().find("Zeta"));
        QCOMPARE(catalogue[2]->category(), std::string("Misc"));
        QCOMPARE(catalogue[2]->inputNames(), (std::vector<std::string>{"a", "b", "c"}));
        // No shape given: the default outline for three inputs, built once and kept.
        QCOMPARE(catalogue[2]->shape(), std::string("j20sl01sl02sl03s.ee.nnnn."));
        QCOMPARE(&catalogue[2]->shape(), &catalogue[2]->shape());

        // Pages in the order their categories are first met; the editor knows every type.
        QCOMPARE(pageTitles(window->toolbox()), (QStringList{"", "Math", "Misc"}));
        QCOMPARE(window->canvasHandler()->findBlockType("alpha"), catalogue[2]);
        QVERIFY(!window->canvasHandler()->findBlockType("Alpha"));
    }

    void toolboxPagesAndButtons() {
        const QString path = writeDefinition("pages.def", R"(
block b1 ( o : i ) { category "math" }
block a2 ( o : i, j ) { category "Math" }
block a1 ( o : ) { category "Math" }
block c ( : ) { }
)");
        auto* window = new MainUI;
        QCOMPARE(window->loadDefinitions(path), 0);
        QToolBox* toolbox = window->toolbox();
        QCOMPARE(pageTitles(toolbox), (QStringList{"Math", "math", "Misc"}));
        QCOMPARE(buttonTexts(toolbox->widget(0)), (QStringList{"a1", "a2"}));
        QCOMPARE(buttonTexts(toolbox->widget(1)), QStringList{"b1"});
        QCOMPARE(window->categoryPage("Math"), toolbox->widget(0));
        QCOMPARE(toolbox->widget(0)->backgroundRole(), QPalette::Base);

        // a2: two inputs, one output, default outline: stubs reach from -10 to 50.
        auto* a2 = toolbox->widget(0)->findChildren<MyToolButton*>().at(1);
        QCOMPARE(a2->pixmap().size(), QSize(61, 61));
        QCOMPARE(a2->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        QVERIFY(!a2->isCheckable());

        const QByteArray payload =
            std::unique_ptr<QMimeData>(a2->makeDragData())->data(blockTypeMimeType);
        QVERIFY(payloadIsFor(payload, window->canvasHandler()->identity()));
        QCOMPARE(payloadTypeName(payload), QByteArray("a2"));

        // The editors of two windows never share an identity.
        auto* other = new MainUI;
        QVERIFY(other->canvasHandler()->identity() != window->canvasHandler()->identity());
        QVERIFY(!payloadIsFor(payload, other->canvasHandler()->identity()));
    }

    void dragPayloadBytes() {
        const QByteArray payload = blockTypePayload(42, "Low pass");
        QCOMPARE(payload, QByteArray("          42 Low pass\0", 22));
        QCOMPARE(payload.size(), 22);
        QVERIFY(payloadIsFor(payload, 42));
        QVERIFY(!payloadIsFor(payload, 4));
        QCOMPARE(payloadTypeName(payload), QByteArray("Low pass"));
        QCOMPARE(blockTypePayload(4294967295u, "x").left(12), QByteArray("  4294967295"));

        QVERIFY(payloadIsFor(QByteArray("42          x"), 42)); // blanks after the number
        QVERIFY(!payloadIsFor(QByteArray("      4 2   x"), 42));
        QVERIFY(!payloadIsFor(QByteArray("     +42    x"), 42));
        QVERIFY(!payloadIsFor(QByteArray("            x"), 0));
        QVERIFY(!payloadIsFor(QByteArray("99999999999999999999"), 42));
        QCOMPARE(payloadTypeName(QByteArray("42")), QByteArray());
        QCOMPARE(payloadTypeName(QByteArray("          42 ab")), QByteArray("ab"));
    }

    void definitionErrorClosesTheWindow() {
        ScriptedInteraction script;
        const QString path = writeDefinition("broken.def", "# one\n# two\n\n  42\n");
        QPointer<MainUI> window = new MainUI;
        window->show();
        QCOMPARE(window->loadDefinitions(path), -1);
        QCOMPARE(script.kinds(), QStringList{"critical"});
        QCOMPARE(script.asked[0].caption, QString("Definition error"));
        QCOMPARE(script.asked[0].text,
                 QString("File: %1\nError: \"Syntax error. Line: 4\"").arg(path));
        QVERIFY(script.asked[0].hadParent);
        processDeletions();
        QVERIFY(window.isNull());

        script.asked.clear();
        window = new MainUI;
        QCOMPARE(window->loadDefinitions(scratch.filePath("defs/missing.def")), -1);
        QVERIFY(script.asked[0].text.endsWith("Error: \"File open error\""));
    }

    void newOpensAWindowOnTheChosenFile() {
        ScriptedInteraction script;
        const QString path = writeDefinition("good.def", "block A ( o : i ) { }\n");
        auto* first = new MainUI;
        script.fileAnswers = {path};
        first->newView();
        QCOMPARE(openWindows().size(), 2);
        MainUI* opened = openWindows().last();
        QCOMPARE(opened->catalogue().size(), 1);
        QCOMPARE(first->catalogue().size(), 0); // the window that asked is unchanged

        // At start-up a good file ends the loop and runs the event loop.
        script.questionAnswers = {0};
        script.fileAnswers = {path};
        const StartupOutcome outcome = runStartup({});
        QVERIFY(outcome.runEventLoop);
        QCOMPARE(openWindows().size(), 3);

        // A broken file is a failed attempt: the preferences come next.
        const QString broken = writeDefinition("bad.def", "block\n");
        script.asked.clear();
        script.questionAnswers = {0, 2};
        script.fileAnswers = {broken};
        script.dialogAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        QCOMPARE(runStartup({}).exitStatus, 0);
        QCOMPARE(script.kinds(),
                 (QStringList{"question", "open", "critical", "dialog", "question"}));
        QCOMPARE(script.unexpected, 0);
    }

    void bundledDefinitionFilesLoad() {
        const QDir bundled(QStringLiteral(DRAFTEL_SOURCE_DIR "/defs"));
        const QStringList files = bundled.entryList({"*.def"}, QDir::Files);
        QVERIFY(files.size() >= 2);
        for (const QString& name : files) {
            ScriptedInteraction script;
            auto* window = new MainUI;
            QVERIFY2(window->loadDefinitions(bundled.filePath(name)) == 0, qPrintable(name));
            QVERIFY2(script.asked.empty(), qPrintable(name));
            QVERIFY(!window->catalogue().isEmpty());
            QVERIFY(window->toolbox()->count() >= 1);
            QVERIFY(!window->definitions().sequences().empty());
        }
    }
};

DRAFTEL_TEST_MAIN(TestCatalogue)
#include "test_catalogue.moc"
