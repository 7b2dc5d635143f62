// The project manager window: the recent projects (the open one first and
// in bold), and its buttons "Создать новую игру" (a new project in a
// chosen folder), "Удалить игру" (off the list; the files stay) and
// "Открыть выбранную игру для ее редактирования", and "Это мой первый
// запуск, глянуть обучающее видео", which shows the user guide.
#pragma once

#include <QPointer>

#include <string>

#include "ToolWindow.h"

class QTextBrowser;
class QTreeWidget;

class TFPManager : public ToolWindow {
public:
    explicit TFPManager(QWidget* parent = nullptr);
    QTreeWidget* TreeView1 = nullptr;

    // Lists the recent projects again.
    void Refresh();
    // The selected node's folder; empty when none is selected.
    std::string SelectedProject() const;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    // The user guide in a window of its own.
    void Button4Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPointer<QTextBrowser> guide_;
};

