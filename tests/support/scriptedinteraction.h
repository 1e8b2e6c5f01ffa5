#pragma once

#include "interaction/userinteraction.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

// Answers the program's questions from a script and records what was asked, so tests can check
// captions and texts. A question with no scripted answer is recorded as unexpected and cancelled.
class ScriptedInteraction : public UserInteraction {
public:
    struct Asked {
        // "question", "critical", "warning", "about", "open", "save", "dialog", "menu",
        // "editor", "pause"
        QString kind;
        QString caption;
        QString text;
        QStringList buttons;
        int defaultButton = -1;
        int escapeButton = -1;
        bool hadParent = false;
    };

    ScriptedInteraction() { setInteraction(this); }
    ~ScriptedInteraction() override { setInteraction(nullptr); }

    std::deque<int> questionAnswers;
    std::deque<QString> fileAnswers;
    std::deque<std::function<int(QDialog&)>> dialogAnswers;
    std::vector<Asked> asked;
    int unexpected = 0;

    int question(QWidget* parent, const QString& caption, const QString& text,
                 const QStringList& buttons, int defaultButton, int escapeButton) override {
        asked.push_back(
            {"question", caption, text, buttons, defaultButton, escapeButton, parent != nullptr});
        return take(questionAnswers, -1);
    }
    void critical(QWidget* parent, const QString& caption, const QString& text) override {
        asked.push_back({"critical", caption, text, {}, -1, -1, parent != nullptr});
    }
    void warning(QWidget* parent, const QString& caption, const QString& text) override {
        asked.push_back({"warning", caption, text, {}, -1, -1, parent != nullptr});
    }
    void about(QWidget* parent, const QString& caption, const QString& text) override {
        asked.push_back({"about", caption, text, {}, -1, -1, parent != nullptr});
    }
    QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        asked.push_back({"open", caption, directory, {filter}, -1, -1, parent != nullptr});
        return take(fileAnswers, QString());
    }
    QString saveFileName(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter) override {
        asked.push_back({"save", caption, start, {filter}, -1, -1, parent != nullptr});
        return take(fileAnswers, QString());
    }
    // The index of the filter "chosen" in a filtered save dialog; without one the offered
    // filter stays.
    std::deque<int> filterAnswers;
    QString saveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& start,
                                   const QString& filters, QString& selectedFilter) override {
        const QStringList offered = filters.split(";;");
        asked.push_back({"save", caption, start, offered, -1, -1, parent != nullptr});
        if (!filterAnswers.empty()) {
            selectedFilter = offered.value(take(filterAnswers, 0));
        }
        return take(fileAnswers, QString());
    }
    int runDialog(QDialog& dialog) override {
        asked.push_back({"dialog",
                         dialog.windowTitle(),
                         dialog.objectName(),
                         {},
                         -1,
                         -1,
                         dialog.parentWidget() != nullptr});
        if (dialogAnswers.empty()) {
            ++unexpected;
            return QDialog::Rejected;
        }
        auto answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        return answer(dialog);
    }
    // Menus answer with the action of the given text, which is triggered as a menu does ("" or a
    // missing text: closed unchosen).
    std::deque<QString> menuAnswers;
    QAction* runMenu(QMenu& menu, const QPoint&) override {
        QStringList texts;
        for (QAction* action : menu.actions()) {
            texts << action->text();
        }
        asked.push_back(
            {"menu", menu.title(), QString(), texts, -1, -1, menu.parentWidget() != nullptr});
        const QString chosen = take(menuAnswers, QString());
        for (QAction* action : menu.actions()) {
            if (!chosen.isEmpty() && action->text() == chosen) {
                action->trigger();
                return action;
            }
        }
        return nullptr;
    }
    void openInTextEditor(const QString& path) override {
        asked.push_back({"editor", QString(), path, {}, -1, -1, false});
    }
    void pause(int milliseconds) override {
        asked.push_back({"pause", QString(), QString::number(milliseconds), {}, -1, -1, false});
    }

    // The kinds asked so far, in order, for compact sequence checks.
    QStringList kinds() const {
        QStringList result;
        for (const Asked& entry : asked) {
            result << entry.kind;
        }
        return result;
    }

private:
    template <typename T> T take(std::deque<T>& answers, T fallback) {
        if (answers.empty()) {
            ++unexpected;
            return fallback;
        }
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
