#pragma once
// The navigation bar down the left of the main window: a scrollable column of
// groups, each with a caption, a picture and a list of items, on a blue
// gradient. Groups and items are found by their key text. Clicking an item
// raises itemClicked with its key.
//
// An item of kind ItemControl hosts a widget of the window. When the item's
// group is removed, or the bar is cleared, the widget is handed back: hidden
// and reparented to the control home (setControlHome), or else to the parent
// it had when it was placed, or else to the bar itself. It is never deleted.
//
// By keyboard: the headers of groups that fold and the command items are
// Tab stops; Up, Down, Home and End move among them, Enter or Space clicks an
// item or folds a group. The focus is drawn as a framed light band.
//
// Pictures come from a PictureStore of 24x24 pictures numbered 0..77 as the
// bar counts them; the store's own access counts from 1 (storePicture).

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class QKeyEvent;
class QScrollArea;
class QVBoxLayout;

namespace navbar {

constexpr int kPictureCount = 78;
constexpr int kPictureSize = 24;
constexpr int kNoPicture = -1;

// Bar picture n (0..77); a null pixmap outside that range.
QPixmap barPicture(int n);
// Store picture n, counted from 1: bar picture n - 1.
QPixmap storePicture(int n);

// The pictures the bar shows, by bar number.
class PictureStore {
public:
    virtual ~PictureStore() = default;
    virtual QPixmap picture(int barNumber) const { return barPicture(barNumber); }
    virtual int count() const { return kPictureCount; }
    // The program's own pictures.
    static const PictureStore& standard();
};

enum ItemKind { ItemCommand = 0, ItemControl = 2 };
enum ItemStyle { StyleNormal = 0, StyleCount = 1 };

// The room below an item, in the bar's unit of half a pixel.
constexpr int kDefaultSpacing = 0;

class ExplorerBar;
class Group;
class GroupWidget;
class ItemWidget;

class Item {
public:
    QString key() const { return key_; }
    QString caption() const { return caption_; }
    QString tooltip() const { return tooltip_; }
    int picture() const { return picture_; }  // kNoPicture when none
    int kind() const { return kind_; }
    int spacing() const { return spacing_; }
    int style() const { return style_; }
    QWidget* control() const { return control_; }
    Group* group() const { return group_; }

    void setCaption(const QString& caption);
    void setTooltip(const QString& tooltip);
    void setSpacing(int halfPixels);
    void setStyle(int style);
    // Places a widget of the window in a control item; it is shown inside it.
    void setControl(QWidget* control);

private:
    friend class Group;
    friend class ExplorerBar;
    Item(Group* group, const QString& key, const QString& caption, int picture, int kind);
    void refresh();

    Group* group_;
    QString key_, caption_, tooltip_;
    int picture_;
    int kind_;
    int spacing_ = kDefaultSpacing;
    int style_ = StyleNormal;
    QPointer<QWidget> control_;
    QPointer<QWidget> controlHome_;  // parent before it was placed
    ItemWidget* widget_ = nullptr;
};

class Group {
public:
    ~Group();
    QString key() const { return key_; }
    QString caption() const { return caption_; }
    QString tooltip() const { return tooltip_; }
    int picture() const { return picture_; }
    // The bar's further setting of a group: whether a click on the caption
    // folds the group away. On by default.
    bool collapsible() const { return collapsible_; }
    bool collapsed() const { return collapsed_; }
    ExplorerBar* bar() const { return bar_; }

    void setCaption(const QString& caption);
    void setTooltip(const QString& tooltip);
    void setPicture(int picture);
    void setCollapsible(bool on);
    void setCollapsed(bool on);

    // Appends an item; nullptr when the key is already in the bar.
    Item* addItem(const QString& key, const QString& caption, int picture = kNoPicture,
                  int kind = ItemCommand);
    int itemCount() const { return int(items_.size()); }
    Item* item(int index) const;
    Item* findItem(const QString& key) const;
    QStringList itemKeys() const;

private:
    friend class ExplorerBar;
    friend class Item;
    friend class ItemWidget;
    Group(ExplorerBar* bar, const QString& key, const QString& caption);
    void handBackControls();

    ExplorerBar* bar_;
    QString key_, caption_, tooltip_;
    int picture_ = kNoPicture;
    bool collapsible_ = true;
    bool collapsed_ = false;
    std::vector<std::unique_ptr<Item>> items_;
    GroupWidget* widget_ = nullptr;
};

class ExplorerBar : public QWidget {
    Q_OBJECT
public:
    explicit ExplorerBar(QWidget* parent = nullptr);
    ~ExplorerBar() override;

    // Appends a group; nullptr when the key is already in the bar.
    Group* addGroup(const QString& key, const QString& caption);
    bool groupExists(const QString& key) const;
    Group* group(const QString& key) const;
    int groupCount() const { return int(groups_.size()); }
    Group* groupAt(int index) const;
    QStringList groupKeys() const;
    // Removes the group and its items; hosted controls are handed back.
    void removeGroup(const QString& key);
    void clear();

    // Any item of any group by key.
    Item* findItem(const QString& key) const;

    // Drawing suspended (false) and resumed (true) while groups change.
    void setRedraw(bool on);
    bool redraw() const { return redraw_; }

    // A compact bar sets its groups closer together, its items and headers
    // lower and its pictures smaller, and leaves out the items' own spacing:
    // for a screen too short for the roomy one (large text on a laptop).
    void setCompact(bool on);
    bool compact() const { return compact_; }

    void setPictureStore(const PictureStore* store);
    const PictureStore* pictureStore() const { return store_; }
    QPixmap picture(int barNumber) const;

    // Background of a group's items (body) or of its caption.
    QColor groupColor(bool body = true) const;
    static QColor gradientStart() { return QColor(0, 0, 255); }
    static QColor gradientEnd() { return QColor(128, 128, 255); }

    // Where hosted controls go back to when their group leaves the bar.
    void setControlHome(QWidget* home) { home_ = home; }

    // Acts as a user's click on the item (tests, keyboard).
    void clickItem(const QString& key);

    // The widget that shows an item or a group's header (null when none).
    QWidget* itemWidget(const QString& key) const;
    QWidget* headerWidget(const QString& groupKey) const;
    // The captions of groups and items that do not fit the room they are
    // drawn in (none, once the bar is laid out).
    QStringList cutCaptions() const;
    // The height its groups need at the bar's width, in pixels.
    int contentHeight() const;
    // The bar's keyboard stops, top to bottom.
    QList<QWidget*> focusStops() const;

signals:
    void itemClicked(const QString& key);
    void itemClick(navbar::Item* item);

private:
    friend class Group;
    friend class Item;
    friend class ItemWidget;
    friend class GroupWidget;
    friend class HeaderWidget;
    bool keyInUse(const QString& key) const;
    void handBack(QWidget* control, QWidget* previousParent);
    void itemActivated(Item* item);
    // Up, Down, Home, End among the stops; false for any other key.
    bool stepFocus(QWidget* from, QKeyEvent* e);
    // The Tab stop that comes before the item in the bar, top to bottom.
    QWidget* lastStopBefore(const Item* item) const;
    void ensureVisible(QWidget* w);

    QScrollArea* scroll_ = nullptr;
    QWidget* content_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    std::vector<std::unique_ptr<Group>> groups_;
    // Removed groups live on until control returns to the event loop, so a
    // click handler that rebuilds the bar never pulls its item away under it.
    std::vector<std::unique_ptr<Group>> removed_;
    const PictureStore* store_ = nullptr;
    QPointer<QWidget> home_;
    bool redraw_ = true;
    bool compact_ = false;
};

}  // namespace navbar
