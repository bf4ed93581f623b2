#pragma once

#include <QFont>
#include <QImage>

#include <string>
#include <string_view>

namespace gs {

// Symbologies, in their stored order (ordinal 0..13). Only bcCode128,
// bcEAN128 (GS1-128: the text as EncodeGs1_128 takes it, no human-readable
// line), bcPOSTNET and bcIntelligentMail draw bars; the others give a white
// bitmap of the empty width. bcIntelligentMail comes last so that the stored
// ordinals of the others stay.
enum class TBarCodeType {
    bcCode128,
    bcCode39,
    bcCode39Ext,
    bcUPCA,
    bcInt2of5,
    bcCode93,
    bcEAN13,
    bcEAN8,
    bcEAN128,
    bcPOSTNET,
    bcUPCE,
    bcUPC2ext,
    bcUPC5ext,
    bcIntelligentMail
};

// Rotation applied after drawing; bcRotate90 is a quarter turn clockwise,
// bcRotate270 a quarter turn counter-clockwise.
enum class TbcRotate { bcNoRotate, bcRotate90, bcRotate180, bcRotate270 };

// Keeps one barcode as a bitmap that always matches the properties: it is
// built when it is read after a property changed, once however many
// properties were set in between.
class TBarcodeBmp {
public:
    TBarcodeBmp();

    int Height() const { return height_; }
    void SetHeight(int height);

    // One byte per pixel (Format_Grayscale8): 255 white background, 0 black
    // modules and text.
    const QImage& Bitmap() const;

    // The text after the current type's text rule.
    const std::string& BarcodeText() const { return text_; }
    void SetBarcodeText(std::string_view text);

    TBarCodeType BarcodeType() const { return type_; }
    void SetBarcodeType(TBarCodeType type);

    // The bitmap's drawing font (face "Courier New" until set).
    QFont Font() const { return font_; }
    void SetFont(const QFont* font);  // null is ignored

    // Width of one module in pixels; for bcIntelligentMail the bar width.
    int Scale() const { return scale_; }
    void SetScale(int scale);

    // bcIntelligentMail only: pixels from one bar's left edge to the next
    // one's; 0 (the default) means two modules, as POSTNET's pitch.
    int BarPitch() const { return barPitch_; }
    void SetBarPitch(int pitch);

    bool Interpret() const { return interpret_; }
    void SetInterpret(bool interpret);

    TbcRotate Rotate() const { return rotate_; }
    void SetRotate(TbcRotate rotate);

private:
    void Changed();
    void Rebuild() const;
    void DrawHumanReadable(int width) const;
    void ApplyRotation() const;

    int height_ = 50;
    // Built on demand by the const Bitmap().
    mutable QImage bitmap_;
    mutable QImage spare_;  // the quarter turns' second bitmap, kept to save allocations
    mutable bool stale_ = true;
    std::string text_;
    TBarCodeType type_ = TBarCodeType::bcCode128;
    QFont font_;
    int scale_ = 1;
    int barPitch_ = 0;
    bool interpret_ = true;
    TbcRotate rotate_ = TbcRotate::bcNoRotate;
};

}  // namespace gs
