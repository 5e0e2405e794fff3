// Components: named objects owned by other components, with an integer Tag
// and a notification when the stored layout that made them has been read.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx {

class Application;

// The root of everything an event handler can receive as its sender.
class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    TComponent* Owner() const { return m_owner; }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // Takes ownership of a component made with this one as its owner.
    template <class T>
    T& Adopt(std::unique_ptr<T> component) {
        T& ref = *component;
        m_components.push_back(std::move(component));
        return ref;
    }
    // Makes a component owned by this one.
    template <class T, class... Args>
    T& Make(Args&&... args) {
        return Adopt(std::make_unique<T>(this, std::forward<Args>(args)...));
    }
    std::size_t ComponentCount() const { return m_components.size(); }
    TComponent& Component(std::size_t index) const { return *m_components[index]; }
    // The owned component of that name, or null.
    TComponent* FindComponent(const std::string& name) const;

    // True while the stored layout that makes this component is being read.
    bool Loading() const { return m_loading; }
    void SetLoading(bool loading) { m_loading = loading; }
    // Called once the whole layout has been read, components in their order.
    virtual void Loaded() { m_loading = false; }

    // The application this component lives in: found through its owner.
    virtual Application* App() const;

protected:
    // Destroys the owned components, latest first. A derived class whose
    // components need it while they go (a form they find the application
    // through) calls this in its own destructor.
    void DestroyComponents();

private:
    std::string m_name;
    TComponent* m_owner;
    int m_tag = 0;
    bool m_loading = false;
    std::vector<std::unique_ptr<TComponent>> m_components;
};

}  // namespace vx
