#pragma once
// A label that sizes itself to its text: a left-aligned one keeps its left edge,
// a right-aligned one keeps its right edge.
#include <QLabel>

namespace veltrano {

class AutoLabel : public QLabel {
  Q_OBJECT
 public:
  // Left-aligned at (x, y).
  static AutoLabel* left(QWidget* parent, const char* name, int x, int y, const QString& text, bool bold);
  // Right-aligned with its right edge at rightEdge.
  static AutoLabel* right(QWidget* parent, const char* name, int rightEdge, int y, const QString& text, bool bold);

  void setCaption(const QString& text);
  void setTextColor(const QColor& color);
  QColor textColor() const;

 private:
  AutoLabel(QWidget* parent, const char* name, bool rightAligned, int edge, int y, bool bold);
  void fit();

  bool rightAligned_;
  int edge_;
  int top_;
};

}  // namespace veltrano
