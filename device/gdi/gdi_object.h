// The common part of every GDI object that a handle can name.
#pragma once

namespace qf::device::gdi {

// Icons share the handle table but are no drawing tools: they never go into a DC.
enum class ObjectKind { kBitmap, kBrush, kPen, kFont, kDc, kIcon };

// Stock objects live for the whole process and ignore DeleteObject.
enum class Lifetime { kOwned, kStock };

class GdiObject {
  public:
    GdiObject(ObjectKind kind, Lifetime lifetime) : kind_(kind), lifetime_(lifetime) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    ObjectKind kind() const { return kind_; }
    bool is_stock() const { return lifetime_ == Lifetime::kStock; }

    // How many DCs hold the object selected; a selected object cannot be deleted.
    int selections() const { return selections_; }
    void AddSelection() { ++selections_; }
    void RemoveSelection() { --selections_; }

  private:
    const ObjectKind kind_;
    const Lifetime lifetime_;
    int selections_ = 0;
};

}  // namespace qf::device::gdi
