#pragma once
// One device job's driver session: opened with the adapter light switched on,
// closed and the light switched off on every way out of the job.
#include <cstdint>

class TTRecForm;

class JobSession {
public:
    static constexpr std::int16_t kNoSession = -200;

    explicit JobSession(TTRecForm& form);
    JobSession(const JobSession&) = delete;
    JobSession& operator=(const JobSession&) = delete;
    ~JobSession();

    bool Open() const { return open_; }
    std::int32_t Handle() const;
    void* State();

private:
    TTRecForm& form_;
    bool open_ = false;
};

// The driver work buffer of the form, allocated if a job runs before start-up did it.
void* DriverStateOf(TTRecForm& form);
