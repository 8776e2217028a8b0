#pragma once
// Windows as the subsystems see them.  A form is made from its layout (one
// per form class, kept with the program), and its code reaches the controls
// only by their names: texts, check marks, items, enabling and click or change
// events.  A modal run answers the result of the button that ended it.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A main menu of a form's layout, as the tool bars that show it refer to it.
class Menu;
class Bitmap;

// A mouse event of a control: the button (0 left, 1 right, 2 middle; 0 for
// moves), the shift set (bits: Shift 1, Alt 2, Ctrl 4, Left 8, Right 16,
// Middle 32, Double 64) and the point in the control's pixels.
enum class MouseAction { Down, Up, Move };
struct MouseInput {
  std::uint8_t Button = 0;
  std::uint8_t Shift = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
};
// Virtual key codes of the keys the program tells apart: letters and digits
// are their upper-case characters.
enum VirtualKey : std::uint16_t {
  vkBackspace = 8,
  vkReturn = 13,
  vkEscape = 27,
  vkLeft = 37,
  vkUp = 38,
  vkRight = 39,
  vkDown = 40,
  vkDelete = 46,
  vkF1 = 112,
  vkF3 = 114,
  vkF5 = 116,
  vkF6 = 117,
  vkF9 = 120,
};

// Pictures of one size for tool buttons, each with a mask of the pixels that
// are left transparent.
class ImageList {
 public:
  ImageList(int width, int height);
  ~ImageList();
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  int Width() const;
  int Height() const;
  // A size of 0 or below adds nothing but empty pictures from then on.
  void SetWidth(int width);
  void SetHeight(int height);
  int Count() const;
  // Adds the picture of an image file, its transparent colour the colour of
  // its pixel (0, 0); a picture of another size is first stretched to the
  // list's size.  A file that is missing, cannot be read as a picture or
  // claims more memory than the reader allows keeps its place with an empty
  // picture, and the answer is false.
  bool AddMasked(const std::string& fileName);
  void Clear();
  // A pixel of a picture, 0x00BBGGRR, and whether the mask leaves it out.
  std::uint32_t Pixel(int index, int x, int y) const;
  bool Transparent(int index, int x, int y) const;
  bool Empty(int index) const;

  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// The four bar areas of a window that tool bars sit in.
enum class BarArea { Top = 1, Bottom = 2, Left = 3, Right = 4 };

struct ToolBarStyle {
  bool Flat = true;
  int ButtonWidth = 23;
  int ButtonHeight = 22;
  bool ShowCaptions = false;
  bool Wrapable = true;
  // Whether other tool bars may be docked beside it.
  bool DockSite = false;
};

// The canonical text of a key shortcut ("Ctrl+S"); empty for a text that
// names none.
std::string ShortCutText(const std::string& text);

struct Bounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

class Form {
 public:
  // Makes the form from the layout of that name; EFormLayoutError when the
  // program holds no such layout.
  explicit Form(const std::string& layout);
  // A form part: makes the layout and embeds it, filling, in the container
  // control of host.  The part's controls are reached through this object;
  // it leaves the host when destroyed.  Should the host's window end first,
  // the part's window ends with it and reaching a control raises
  // EFormLayoutError.
  Form(const std::string& layout, Form& host, const std::string& container);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& LayoutName() const;

  std::string Caption() const;
  void SetCaption(const std::string& caption);
  Bounds GetBounds() const;
  void SetBounds(const Bounds& bounds);
  void MoveTo(int left, int top);
  // Whether the form keeps the size its controls need.
  bool AutoSize() const;
  void SetAutoSize(bool value);

  // Shows the form modally and answers the modal result of the button that
  // ended the run (a button's result comes from its layout), or mrCancel when
  // the window was closed.  While a modal answerer is installed it answers
  // instead of a person.
  int ShowModal();
  // Ends a modal run with this result.
  void SetModalResult(int result);
  // Whether a modal run of the form is going on (a person's or an answerer's).
  bool ShowingModal() const;
  // Asked when a button with a modal result is pressed (also the default
  // button of an unattended run); false keeps the run going.
  void OnModalButton(std::function<bool(int result)> accept);
  // The result the default button of the layout gives (mrCancel without one).
  int DefaultResult() const;

  void Show();
  void Hide();
  bool Visible() const;
  // Whether the layout keeps the form above the other windows ("stayOnTop").
  bool StaysOnTop() const;
  // The form's timer: the tick runs every interval while the form is shown.
  void SetTimer(int intervalMs, std::function<void()> tick);
  bool TimerActive() const;
  // Whether the form is the window the user works in; TakeFocus makes it so.
  bool IsActiveWindow() const;
  void TakeFocus();
  // Whether the window the user works in is the form or one of its own: a
  // form or message box asked for during its modal run, which opens over it.
  bool HoldsActiveWindow() const;
  // Asks the close query and hides the form when it agrees; answers whether
  // the form closed.
  bool Close();
  // Asked whenever the user (or Close) tries to close the form; false keeps
  // it open.
  void OnCloseQuery(std::function<bool()> query);

  void SetAcceptDropFiles(bool accept);
  bool AcceptDropFiles() const;
  // Full names of the dropped files, in the order the system reports them.
  void OnFilesDropped(std::function<void(const std::vector<std::string>&)> handler);

  bool HasControl(const std::string& name) const;
  // Names of every named control of the layout, in layout order.
  std::vector<std::string> ControlNames() const;
  // The text a control shows: a label's or button's caption, an edit's or
  // memo's text, a combo box's current text, a group's title.
  std::string Text(const std::string& control) const;
  void SetText(const std::string& control, const std::string& text);
  bool Checked(const std::string& control) const;
  void SetChecked(const std::string& control, bool checked);
  // The hint a control (or a run-time action's buttons) shows when the
  // mouse rests on it.
  std::string Hint(const std::string& control) const;
  bool Enabled(const std::string& control) const;
  void SetEnabled(const std::string& control, bool enabled);
  // Items of a list or combo box, the captions of a menu's items or of a
  // tool bar's buttons; and the current one of a list or combo (-1 for none).
  std::vector<std::string> Items(const std::string& control) const;
  void SetItems(const std::string& control, const std::vector<std::string>& items);
  int ItemIndex(const std::string& control) const;
  void SetItemIndex(const std::string& control, int index);
  // A directory list: shows ".." and the sub-folders of its directory, in
  // name order; activating an entry enters it.
  std::string Directory(const std::string& control) const;
  void SetDirectory(const std::string& control, const std::string& directory);
  // A file list (its layout gives it a "fileMask"): SetDirectory shows the
  // files of the folder whose names match one of the ";"-separated masks,
  // letter case ignored, in name order.  Changing the mask shows the folder
  // anew.  FileName is the full name of the current file, empty when none;
  // SelectedFiles the full names of every selected one, in list order.
  std::string FileMask(const std::string& control) const;
  void SetFileMask(const std::string& control, const std::string& mask);
  std::string FileName(const std::string& control) const;
  std::vector<std::string> SelectedFiles(const std::string& control) const;
  // Called after a directory or file list shows another folder, by the
  // program or by the user entering one.
  void OnDirectoryChange(const std::string& control, std::function<void()> handler);
  // A drive box (its layout marks it "driveBox") lists the roots of the
  // mounted volumes; SetDrive makes current the deepest root holding the
  // path.  Its text is the current root.
  void SetDrive(const std::string& control, const std::string& path);
  // A one-column grid of editable cells: the rows' texts, and the current
  // row (-1 for none).
  std::vector<std::string> GridRows(const std::string& control) const;
  void SetGridRows(const std::string& control, const std::vector<std::string>& rows);
  int CurrentRow(const std::string& control) const;
  void SetCurrentRow(const std::string& control, int row);
  // Captions of the popup menu a control's layout names ("popupMenu");
  // separators read "-".  The menu opens on a right click of the control.
  std::vector<std::string> PopupMenuItems(const std::string& control) const;
  // A control's place within the form.
  Bounds ControlBounds(const std::string& control) const;
  bool ControlVisible(const std::string& control) const;
  void SetControlVisible(const std::string& control, bool visible);

  // Tree controls (a list with columns is a tree of top-level nodes).  The
  // form numbers the nodes it adds from 1; 0 stands for no node and, as a
  // parent, for the top level.  Each node holds one text per column and a
  // data handle.  A number of a deleted node is never given again, and
  // asking about it answers empty, 0 or false.
  int TreeAddNode(const std::string& control, int parent, const std::vector<std::string>& texts,
                  std::uint32_t data);
  void TreeClear(const std::string& control);
  // Deletes the node's sub-nodes (and their sub-nodes).
  void TreeDeleteChildren(const std::string& control, int node);
  void TreeDeleteNode(const std::string& control, int node);
  std::vector<int> TreeChildren(const std::string& control, int parent) const;
  std::string TreeNodeText(const std::string& control, int node, int column = 0) const;
  std::uint32_t TreeNodeData(const std::string& control, int node) const;
  bool TreeExpanded(const std::string& control, int node) const;
  // Expanding or collapsing a node, here or by the user, calls the
  // control's expand or collapse handler.
  void SetTreeExpanded(const std::string& control, int node, bool expanded);
  int TreeCurrent(const std::string& control) const;
  // Making a node current, here or by the user, calls the change handler.
  void SetTreeCurrent(const std::string& control, int node);
  std::vector<std::string> TreeColumns(const std::string& control) const;
  void SetTreeColumns(const std::string& control, const std::vector<std::string>& captions);
  // How a list shows its rows: large pictures with their names, names with
  // small pictures, or every column under a header.
  enum class ListStyle { Icons, List, Report };
  ListStyle TreeListStyle(const std::string& control) const;
  void SetTreeListStyle(const std::string& control, ListStyle style);
  // Groups changes so that the control is drawn once at the end.
  void TreeBeginUpdate(const std::string& control);
  void TreeEndUpdate(const std::string& control);
  // Whether the control is held undrawn by a TreeBeginUpdate not yet ended.
  bool TreeUpdating(const std::string& control) const;
  // The pictures of a tree's nodes, loaded from image files in order (grey,
  // red, green and blue 128 each, is transparent); a file that cannot be
  // read keeps its place with an empty picture.
  void SetTreeImages(const std::string& control, const std::vector<std::string>& files);
  // Picture numbers of a node, as shown and while it is selected; -1 for
  // none.  TreeNodeImage answers the first.
  void SetTreeNodeImage(const std::string& control, int node, int image, int selectedImage);
  int TreeNodeImage(const std::string& control, int node) const;
  void OnTreeExpanded(const std::string& control, std::function<void(int node)> handler);
  void OnTreeCollapsed(const std::string& control, std::function<void(int node)> handler);

  // The main menu control of that name; it lives as long as the form.
  Menu& MainMenu(const std::string& control);
  // Makes a tool bar show a main menu (of this form or of another that
  // outlives the bar's buttons): the bar, flat and showing captions only,
  // frees all its buttons last to first and, when menu is given, gets one
  // auto-sized button per top-level item of the menu that shows the item's
  // caption and drops down its sub-menu (an item without one runs when
  // pressed).
  void ShowMenuOnToolBar(const std::string& toolBar, const Menu* menu);
  // Captions of the items that a tool bar's button drops down; none for a
  // button without a sub-menu.  Separators read "-".
  std::vector<std::string> ToolButtonMenuItems(const std::string& toolBar, int button) const;

  // Tool bars made at run time in the bar areas of a window whose layout is
  // a main window.  Moving a bar to another area keeps its buttons.
  void AddToolBar(const std::string& name, BarArea area);
  void MoveToolBar(const std::string& name, BarArea area);
  BarArea ToolBarArea(const std::string& name) const;
  // Whether the window has bar areas and a tool bar of that name.
  bool HasToolBar(const std::string& name) const;
  ToolBarStyle GetToolBarStyle(const std::string& name) const;
  void SetToolBarStyle(const std::string& name, const ToolBarStyle& style);
  // Holds up or lets go the drawing of the window while many bars change.
  void SetUpdatesSuspended(bool suspended);
  // Actions made at run time: a caption (Text), check mark (Checked),
  // trigger (OnClick, UserClick) as the layout's own.  The hint shows in the
  // window's status bar while the mouse rests on a button of the action.
  void AddAction(const std::string& name, bool checkable);
  void RemoveAction(const std::string& name);
  void SetActionHint(const std::string& action, const std::string& hint);
  // The picture of the list at index; none for an index outside it.
  void SetActionImage(const std::string& action, const ImageList& images, int index);
  // Takes the canonical text (ShortCutText); empty removes the shortcut.
  void SetActionShortCut(const std::string& action, const std::string& shortCut);
  std::string ActionShortCut(const std::string& action) const;
  void SetActionVisible(const std::string& action, bool visible);
  bool ActionVisible(const std::string& action) const;
  // A check-style button of the action at the bar's end, with the screen
  // cursor over it and a handler of its context-menu request (may be empty).
  void AddActionButton(const std::string& toolBar, const std::string& action, int cursor,
                       std::function<void()> contextMenu);
  // A separator button 10 pixels wide: a divider line or an empty gap.
  void AddSeparatorButton(const std::string& toolBar, bool divider);
  // Destroys the bar's buttons (not its actions).
  void ClearToolBar(const std::string& toolBar);
  int ToolButtonCount(const std::string& toolBar) const;
  // Whether the button at index is a separator, a divider, and its cursor.
  bool ToolButtonIsSeparator(const std::string& toolBar, int button) const;
  bool ToolButtonIsDivider(const std::string& toolBar, int button) const;
  int ToolButtonCursor(const std::string& toolBar, int button) const;
  // Puts a tool bar (or another control) inside a tool bar as one of its items.
  void EmbedInToolBar(const std::string& toolBar, const std::string& control);
  // A menu item at run time under a named item, bound to an action.
  void AddActionMenuItem(const std::string& menuItem, const std::string& action);
  // Frees every item under the named item.
  void ClearMenuItem(const std::string& menuItem);
  void SetMenuItemVisible(const std::string& menuItem, bool visible);
  bool MenuItemVisible(const std::string& menuItem) const;

  // The panels of a status bar, side by side; its layout gives their number
  // ("panels").  EFormLayoutError for an index outside them.
  std::string PanelText(const std::string& control, int index) const;
  void SetPanelText(const std::string& control, int index, const std::string& text);

  // A control's own background colour, 0x00BBGGRR.
  void SetColor(const std::string& control, std::uint32_t colour);
  std::uint32_t Color(const std::string& control) const;
  // A progress bar's or spin edit's range and position.
  void SetRange(const std::string& control, int min, int max);
  int Minimum(const std::string& control) const;
  int Maximum(const std::string& control) const;
  int Position(const std::string& control) const;
  void SetPosition(const std::string& control, int position);

  // A text editor (memo or rich edit) by lines: the last line is replaced or
  // a line added at the end without rewriting the rest.
  int LineCount(const std::string& control) const;
  void ReplaceLastLine(const std::string& control, const std::string& text);
  void AppendLine(const std::string& control, const std::string& text);
  void ScrollToCaret(const std::string& control);
  void SetWordWrap(const std::string& control, bool wrap);
  bool WordWrap(const std::string& control) const;
  // The selection's start (characters from the text's start), its length,
  // and the caret's line and column from 0.
  int SelStart(const std::string& control) const;
  int SelLength(const std::string& control) const;
  void Select(const std::string& control, int start, int length);
  void CaretLineColumn(const std::string& control, int& line, int& column) const;
  // Called when the caret moves or the text changes.
  void OnCaretMove(const std::string& control, std::function<void()> handler);
  void Focus(const std::string& control);
  // The control that has the focus (or gets it when the form is next
  // active); empty for none.
  std::string FocusedControl() const;
  // Called when the focus leaves the control; the handler may send it back
  // with Focus.
  void OnExit(const std::string& control, std::function<void()> handler);
  // Enter pressed in the control; the key goes no further (it does not
  // press the default button).
  void OnEnterKey(const std::string& control, std::function<void()> handler);
  // The first place at or after from where the text stands, ignoring case;
  // -1 when there is none.
  int FindText(const std::string& control, const std::string& text, int from) const;
  // The system's font dialog on the editor's font; false when cancelled (and
  // always while unattended).
  bool ChooseFont(const std::string& control);

  // A button was pressed, a menu action chosen, or a list's item clicked.
  void OnClick(const std::string& control, std::function<void()> handler);
  // A list's item was double-clicked.
  void OnDoubleClick(const std::string& control, std::function<void()> handler);
  // An edit's text, a check mark (of a button or menu item) or a list's
  // current item changed.
  void OnChange(const std::string& control, std::function<void()> handler);

  // Puts this form into the site form as a panel at the bottom of its
  // layout; Undock makes it a window of its own again.
  void DockInto(Form& site);
  void Undock();
  // Plays an animation file in a label; false (and nothing shown) when the
  // file cannot be read as one.
  bool PlayAnimation(const std::string& control, const std::string& fileName);

  // An image control (a label its layout marks "imageControl") shows a
  // bitmap the form does not own, repainted whenever it is drawn into;
  // nullptr shows nothing.
  void SetImageBitmap(const std::string& control, Bitmap* bitmap);
  Bitmap* ImageBitmap(const std::string& control) const;
  void RepaintImage(const std::string& control);
  // Mouse events of a control, with points in its own pixels.
  void OnMouse(const std::string& control, std::function<void(MouseAction, const MouseInput&)> handler);
  // Mouse events of the form itself, where no control takes them; points
  // in the form's own pixels.
  void OnMouse(std::function<void(MouseAction, const MouseInput&)> handler);
  // Keys pressed while the form has the focus: the virtual key code (0 for
  // keys without one) and the shift set.
  void OnKeyDown(std::function<void(std::uint16_t key, std::uint8_t shift)> handler);
  // The form changed its size; the form stopped being the active window.
  void OnResize(std::function<void()> handler);
  void OnDeactivate(std::function<void()> handler);
  // A control's point in screen pixels.
  void ControlToScreen(const std::string& control, std::int32_t& x, std::int32_t& y) const;
  // The control's cursor, by screen cursor number (0 the arrow).
  void SetControlCursor(const std::string& control, int screenCursor);
  int ControlCursor(const std::string& control) const;
  // A speed button's down state.
  bool Down(const std::string& control) const;
  void SetDown(const std::string& control, bool down);

  // Menu items at run time.  A name is the component name of a menu or
  // item; FindMenuItem answers the name as the layout spells it, compared
  // in any letter case, or empty when there is none.
  std::string FindMenuItem(const std::string& name) const;
  // Adds an item at the end of the menu; the click calls the handler.
  void AddMenuItem(const std::string& menu, const std::string& name, const std::string& caption,
                   std::function<void()> click);
  // Removes the item of that name (any letter case) from the menu; false
  // when it holds none.
  bool RemoveMenuItem(const std::string& menu, const std::string& name);
  // Names of the menu's items, in order.
  std::vector<std::string> MenuItemNames(const std::string& menu) const;
  // Opens a popup menu of the layout at a screen point.  Called first.
  void PopupMenuAt(const std::string& menu, std::int32_t screenX, std::int32_t screenY);
  void OnPopup(const std::string& menu, std::function<void()> handler);

  // Drops of a tree node of any form's tree control on a control: while
  // accepted, the handler gets the node's data handle.  Drops from other
  // sources are refused.
  void SetAcceptTreeDrops(const std::string& control, bool accept);
  bool AcceptTreeDrops(const std::string& control) const;
  void OnTreeNodeDropped(const std::string& control, std::function<void(std::uint32_t data)> handler);
  // Anything dragged over a control that accepts drops, at its entry and
  // at each move.
  void OnDragOver(const std::string& control, std::function<void()> handler);

  // Draws the form as it would show into a PNG file; false when it cannot be
  // written.
  bool SaveImage(const std::string& pngPath) const;

  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

class EFormLayoutError : public std::exception {
 public:
  explicit EFormLayoutError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Acts for the person at a modal form (reads and sets its controls, presses
// its buttons) instead of showing it; an empty one restores showing them.  A
// run the answerer leaves without a result ends with mrCancel.
using ModalAnswerer = std::function<void(Form& form)>;
void SetModalAnswerer(ModalAnswerer answerer);

// Makes the program's application object when there is none yet: windows
// need one, and the first form or gauge window brings it.
void EnsureWindowSystem();

// Running without a person: every modal form and message box is answered
// with its default button, and its text goes to the log: a message box's
// text, a form's caption, or the text of the label its layout marks as the
// form's message (a confirmation's question).  An empty log ends the
// unattended run, as SetAttended does.
void SetUnattended(std::function<void(const std::string& line)> log);
void SetAttended();
bool Unattended();
// Writes a line to the log of the unattended run (nothing when attended).
void LogUnattended(const std::string& line);

// Drives a form the way a person would, through the same events: for tests
// and for answerers.
void UserClick(Form& form, const std::string& control);
void UserDropFiles(Form& form, const std::vector<std::string>& files);
// The window's close box: asks the close query; answers whether it closed.
bool UserCloseWindow(Form& form);
// A click and a double click on a list's item (a double click on a
// directory list's entry enters it); choosing a combo box's item.
void UserClickItem(Form& form, const std::string& control, int index);
void UserDoubleClickItem(Form& form, const std::string& control, int index);
void UserChooseItem(Form& form, const std::string& control, int index);
// Typing a text into a grid's cell, which becomes the current row.
void UserEditCell(Form& form, const std::string& control, int row, const std::string& text);
// Tab from the control: the focus moves on to the next control in the
// form's tab order and the control's exit handler runs.
void UserExit(Form& form, const std::string& control);
// Enter pressed in the control, as a key event.
void UserPressEnter(Form& form, const std::string& control);
// One tick of the form's timer, when it is running.
void UserTimerTick(Form& form);
// Presses the button at index of a tool bar; asks for its context menu.
void UserClickToolButton(Form& form, const std::string& toolBar, int button);
void UserContextMenuToolButton(Form& form, const std::string& toolBar, int button);
// Opens the control's popup menu and chooses the item of that caption;
// EFormLayoutError when the menu has none.
void UserChoosePopupItem(Form& form, const std::string& control, const std::string& caption);
// Mouse and keys as the window system sends them: a press, release or move
// at a control's point, and a key press on the form.
void UserMouse(Form& form, const std::string& control, MouseAction action, const MouseInput& input);
void UserMouse(Form& form, MouseAction action, const MouseInput& input);
void UserKey(Form& form, std::uint16_t key, std::uint8_t shift = 0);
// A key press on a named control (with the focus there); what the control
// leaves unhandled reaches the form as from the person.
void UserKeyOn(Form& form, const std::string& control, std::uint16_t key, std::uint8_t shift = 0);
// The window gets a new size; another window becomes the active one.
void UserResize(Form& form, int width, int height);
void UserDeactivate(Form& form);
// Drags the node of a tree control onto a control of a form (maybe another).
void UserDropTreeNode(Form& source, const std::string& tree, int node, Form& target, const std::string& control);
// The popup menu last opened by PopupMenuAt, and where (empty before any).
struct PopupRecord {
  std::string Menu;
  std::int32_t X = 0;
  std::int32_t Y = 0;
};
PopupRecord LastPopup();

}  // namespace platform
