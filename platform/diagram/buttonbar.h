#pragma once
// A button bar: groups of items shown as large icons with their captions,
// one group open at a time. The headers of the groups before the open one
// stand above its items, the others below them. A click on an item (or
// Space on it) reports the item's key.

#include <QAbstractButton>
#include <QList>
#include <QMap>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QScrollArea;
class QPushButton;
class QVBoxLayout;

namespace diagram {

// One item of a group: its icon over its caption, which wraps.
class BarItem : public QAbstractButton {
    Q_OBJECT
public:
    BarItem(const QString& caption, const QString& key, QWidget* parent);
    QString key() const { return key_; }
    void setPicture(const QPixmap& p);
    QPixmap picture() const { return picture_; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    QRect captionRect(int width) const;
    QString key_;
    QPixmap picture_;
    bool hovered_ = false;
};

class ButtonBar : public QWidget {
    Q_OBJECT
public:
    explicit ButtonBar(QWidget* parent = nullptr);

    static constexpr int kIconSide = 32;

    // The large icons, held under their keys.
    void setLargeIcon(const QString& iconKey, const QPixmap& picture);
    // Returns the new group's index.
    int addGroup(const QString& caption);
    BarItem* addItem(int group, const QString& caption, const QString& key, const QString& iconKey);

    int groupCount() const { return int(groups_.size()); }
    QPushButton* groupHeader(int group) const;
    QList<BarItem*> items(int group) const;
    BarItem* item(const QString& key) const;

    int currentGroup() const { return current_; }
    void setCurrentGroup(int group);

signals:
    void ButtonClick(const QString& key);

private:
    struct Group {
        QPushButton* header = nullptr;
        QScrollArea* area = nullptr;
        QWidget* page = nullptr;
        QVBoxLayout* list = nullptr;
        QList<BarItem*> items;
    };
    void arrange();

    QVBoxLayout* layout_;
    QList<Group> groups_;
    QMap<QString, QPixmap> icons_;
    int current_ = -1;
};

}  // namespace diagram
