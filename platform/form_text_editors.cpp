// Memos and rich edits of a form: their lines, selection and caret.
#include "platform/forms.h"

#include <functional>
#include <string>
#include <utility>

#include <QObject>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "platform/form_impl.h"

namespace platform {

namespace {

// The document and the cursor-bearing editor behind a memo or rich edit.
struct Editor {
  QTextEdit* rich = nullptr;
  QPlainTextEdit* plain = nullptr;
  QTextDocument* Document() const { return rich ? rich->document() : plain ? plain->document() : nullptr; }
  QTextCursor Cursor() const { return rich ? rich->textCursor() : plain->textCursor(); }
  void SetCursor(const QTextCursor& cursor) const {
    if (rich) rich->setTextCursor(cursor);
    else plain->setTextCursor(cursor);
  }
  void EnsureCursorVisible() const {
    if (rich) rich->ensureCursorVisible();
    else plain->ensureCursorVisible();
  }
};

Editor EditorOf(QObject& object) {
  return {qobject_cast<QTextEdit*>(&object), qobject_cast<QPlainTextEdit*>(&object)};
}

}  // namespace

int Form::LineCount(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  return editor.Document() ? editor.Document()->blockCount() : 0;
}

void Form::ReplaceLastLine(const std::string& control, const std::string& text) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor(editor.Document()->lastBlock());
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(Q(text));
}

void Form::AppendLine(const std::string& control, const std::string& text) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor(editor.Document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertBlock();
  cursor.insertText(Q(text));
}

void Form::ScrollToCaret(const std::string& control) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor = editor.Cursor();
  cursor.movePosition(QTextCursor::End);
  editor.SetCursor(cursor);
  editor.EnsureCursorVisible();
}

void Form::SetWordWrap(const std::string& control, bool wrap) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (editor.rich) editor.rich->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  if (editor.plain) editor.plain->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool Form::WordWrap(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  if (editor.rich) return editor.rich->lineWrapMode() != QTextEdit::NoWrap;
  return editor.plain && editor.plain->lineWrapMode() != QPlainTextEdit::NoWrap;
}

int Form::SelStart(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  return editor.Document() ? editor.Cursor().selectionStart() : 0;
}

int Form::SelLength(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return 0;
  const QTextCursor cursor = editor.Cursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void Form::Select(const std::string& control, int start, int length) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor(editor.Document());
  cursor.setPosition(start);
  cursor.setPosition(start + length, QTextCursor::KeepAnchor);
  editor.SetCursor(cursor);
  editor.EnsureCursorVisible();
}

void Form::CaretLineColumn(const std::string& control, int& line, int& column) const {
  const Editor editor = EditorOf(impl_->Find(control));
  line = column = 0;
  if (!editor.Document()) return;
  const QTextCursor cursor = editor.Cursor();
  line = cursor.blockNumber();
  column = cursor.positionInBlock();
}

void Form::OnCaretMove(const std::string& control, std::function<void()> handler) {
  const Editor editor = EditorOf(impl_->Find(control));
  handler = Guarded(std::move(handler));
  auto call = [handler] { handler(); };
  if (editor.rich) QObject::connect(editor.rich, &QTextEdit::cursorPositionChanged, impl_.get(), call);
  if (editor.plain) QObject::connect(editor.plain, &QPlainTextEdit::cursorPositionChanged, impl_.get(), call);
}

int Form::FindText(const std::string& control, const std::string& text, int from) const {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document() || text.empty()) return -1;
  return static_cast<int>(editor.Document()->toPlainText().indexOf(Q(text), from, Qt::CaseInsensitive));
}

}  // namespace platform
