#pragma once

#include "widgets/gui/colors.h"
#include "widgets/gui/hover_button_types.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

namespace strovane::widgets {

// Bevel cut of a panel edge.
enum class BevelCut : std::uint8_t { None, Lowered, Raised, Space };

class PanelImage;

// A panel that paints its own face: the plain panel look (bevels, border, a flat
// colour with an optional border colour) or a gradient "filter" between its colour and
// white, with an optional picture file shown over the face.
class ColourPanel : public QWidget {
    Q_OBJECT

public:
    explicit ColourPanel(QWidget* parent = nullptr);
    ~ColourPanel() override;

    ColorRef borderColor() const { return m_borderColor; }
    void setBorderColor(ColorRef c);
    // 0 plain face; 1 left-to-right bands; 2 ellipses from white; 3 rectangles to white;
    // 4 rectangles from white; other values ellipses to white.
    int filter() const { return m_filter; }
    void setFilter(int filter);
    // A picture file is loaded; setting it true also sets Filter 0.
    bool isImageEmpty() const { return m_imageEmpty; }
    void setImageEmpty(bool on);
    // Loads the picture file; a name that cannot be loaded clears Filename and the picture.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& path);
    bool imageStretch() const { return m_stretch; }
    void setImageStretch(bool on);
    // The picture's size, or the image area's size when no picture is loaded.
    int imageWidth() const;
    int imageHeight() const;

    TextAlignment alignment() const { return m_alignment; }
    void setAlignment(TextAlignment a);
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    BevelCut bevelInner() const { return m_bevelInner; }
    void setBevelInner(BevelCut cut);
    BevelCut bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(BevelCut cut);
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    ColorRef color() const { return m_color; }
    void setColor(ColorRef c);
    ColorRef fontColor() const { return m_fontColor; }
    void setFontColor(ColorRef c);

    // The panel's own face (without the picture) at (0, 0) of `p`.
    void paintTo(QPainter& p) const;

    // Number of gradient steps for a face of `width` x `height` (at least 31).
    static int filterSteps(int width, int height, int filter);
    // The gradient from `a` to `b` over (left, top, right, bottom), right and bottom excluded.
    static void filterFill(QPainter& p, const QColor& a, const QColor& b, int left, int top, int right, int bottom,
                           int filter);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    ColorRef m_borderColor = kSysButtonFace;
    int m_filter = 0;
    bool m_imageEmpty = false;
    QString m_fileName;
    bool m_stretch = false;
    PanelImage* m_image = nullptr;

    TextAlignment m_alignment = TextAlignment::Center;
    QString m_caption;
    BevelCut m_bevelInner = BevelCut::None;
    BevelCut m_bevelOuter = BevelCut::Raised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    ColorRef m_color = kSysButtonFace;
    ColorRef m_fontColor = kSysWindowText;
};

// The picture over a colour panel's face: fills the panel, lets mouse input through,
// draws its picture at the top-left or stretched, a bitmap's bottom-left colour transparent.
class PanelImage : public QWidget {
    Q_OBJECT

public:
    explicit PanelImage(QWidget* parent);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    void setStretch(bool on);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage m_picture;
    bool m_stretch = false;
};

} // namespace strovane::widgets
