// Random: the root of every random variable, the process-wide installed base generator
// (Random::RNG) and the placeholder that stands in when none is installed.
#pragma once

#include "random/ext_real.h"
#include "random/simple_string.h"

class SelectedRandom;
class RepeatedRandom;

class Random {
public:
    // The virtual operations keep this order in every class of the family.
    virtual void CSFD(bool copy_to_disk);  // base generators read their seed file
    virtual void CSTD();                   // base generators write their seed file
    virtual double Next();                 // default: a draw of Random::RNG
    virtual unsigned long ulNext();
    virtual const char* Name();
    virtual double Density(double x) const;
    // Uninstalls this variable when it is the installed one, so that Random::RNG never
    // holds the address of a destroyed object.
    virtual ~Random();
    virtual ExtReal Mean() const;
    virtual ExtReal Variance() const;
    virtual void tDelete();
    virtual int nelems() const;
    virtual void load(int* i, double* probs, Random** rvs);

    // Mixture component X(p) and repeat X(n); defined with the mixture classes.
    SelectedRandom& operator()(double p);
    RepeatedRandom& operator()(int n);

    static void Set(Random& r);
    static void SetDirectory(const char* dir);
    static void CopySeedToDisk();
    static void CopySeedFromDisk(bool copy_to_disk);

    static Random* RNG;       // the installed base generator, never null
    static Random* Dummy;     // the placeholder, created at start-up and never freed
    static SimpleString Dir;  // seed-file directory, with its trailing separator

protected:
    // For the destructors of base generators: uninstalls this generator and then, when
    // asked, writes its seed file; a failed write is reported on standard error, since
    // a destructor must not throw.
    void retire(bool write_seed_file) noexcept;
};

// Stands in for a base generator while none is installed: every draw fails.
class DummyRNG : public Random {
public:
    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    double Next() override;
    const char* Name() override;
};
