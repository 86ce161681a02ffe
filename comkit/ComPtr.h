#pragma once
// The one smart interface pointer of the project: WRL's ComPtr as shipped with
// mingw-w64, with one correction. mingw-w64's ComPtr::Attach adds a reference, while
// WRL's contract is that Attach takes over the reference the caller holds; code
// written to that contract would leak every attached object. tx::ComPtr restores it.
#include <wrl/client.h>

#include <utility>

namespace tx
{
template <class T> class ComPtr : public Microsoft::WRL::ComPtr<T>
{
    using Base = Microsoft::WRL::ComPtr<T>;

  public:
    using Base::Base;
    using Base::operator=;
    ComPtr() noexcept = default;
    ComPtr(const Base &other) noexcept : Base(other)
    {
    }
    ComPtr(Base &&other) noexcept : Base(std::move(other))
    {
    }

    // Takes over the caller's reference to p; the object held before is released.
    void Attach(T *p) noexcept
    {
        T *old = std::exchange(*this->GetAddressOf(), p);
        if (old)
            old->Release();
    }
};
} // namespace tx
