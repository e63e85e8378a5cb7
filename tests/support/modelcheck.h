#pragma once
// Qt's own checks of an item model (QAbstractItemModelTester) for as long as
// a ModelCheck lives: every count, index, parent and data role, and every
// change the model signals. What they find fails the test.

#include "platform/grid/gridmodel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QStringList>

#include <cstring>
#include <utility>

namespace testsupport {

class ModelCheck {
public:
    explicit ModelCheck(QAbstractItemModel* model)
    {
        // Installed before the tester, which checks the model at once.
        if (users()++ == 0)
            previous() = qInstallMessageHandler(collect);
        tester_ = new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Warning, model);
    }
    ~ModelCheck()
    {
        delete tester_.data();
        if (--users() == 0)
            qInstallMessageHandler(previous());
        const QStringList found = std::exchange(findings(), {});
        EXPECT_TRUE(found.isEmpty()) << found.join('\n').toStdString();
    }
    ModelCheck(const ModelCheck&) = delete;
    ModelCheck& operator=(const ModelCheck&) = delete;

private:
    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (context.category && std::strcmp(context.category, "qt.modeltest") == 0)
            findings() << text;
        else if (previous())
            previous()(type, context, text);
    }
    static int& users()
    {
        static int n = 0;
        return n;
    }
    static QtMessageHandler& previous()
    {
        static QtMessageHandler h = nullptr;
        return h;
    }
    static QStringList& findings()
    {
        static QStringList f;
        return f;
    }

    QPointer<QAbstractItemModelTester> tester_;
};

// A grid whose model Qt's checks follow for the grid's whole life.
class CheckedGrid : public grid::GridEX {
public:
    explicit CheckedGrid(QWidget* parent = nullptr) : GridEX(parent), check_(model()) {}

private:
    ModelCheck check_;
};

}  // namespace testsupport
