// Table-method variates: a strip table under a density supplied by a derived
// class (or a plain function), drawn by rejection with three uniforms a try.
#pragma once

#include "random/random.h"

// Density on [0, infinity), not increasing away from 0.
class PosGen : public Random {
public:
    PosGen();
    PosGen(const PosGen&) = delete;
    PosGen& operator=(const PosGen&) = delete;
    ~PosGen() override;

    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;      // Missing
    ExtReal Variance() const override;  // Missing

protected:
    // Fills the tables from Density: strips of area 0.02 (0.01 of the half
    // density when symmetric). On failure the object stays not ready.
    void Build(bool symmetric);

    double strip_count = 0.0;   // strips of the table; twice that when symmetric
    double* edges = nullptr;    // strip edges x0 < x1 < ..., 60 entries
    double* heights = nullptr;  // density at each edge, 60 entries
    bool not_ready = true;      // no tables yet (or tables not owned, see Normal)
};

// Density symmetric about 0, tabled on its positive half.
class SymGen : public PosGen {
public:
    double Next() override;
    const char* Name() override;
};

// Unimodal density with the mode given.
class AsymGen : public Random {
public:
    explicit AsymGen(double mode);
    AsymGen(const AsymGen&) = delete;
    AsymGen& operator=(const AsymGen&) = delete;
    ~AsymGen() override;

    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;      // Missing
    ExtReal Variance() const override;  // Missing

protected:
    // Fills the tables from Density: strips of area 0.01 above and then below
    // the mode. On failure the object stays not ready.
    void Build();

    double strip_count = 0.0;   // strips of the table
    double* edges = nullptr;    // upper edges from the mode, lower edges from the mode,
                                // and in slot 120 the end of the upper side; 121 entries
    double* heights = nullptr;  // density at each edge, 121 entries
    int last_upper = 0;         // last edge at or above the mode with positive density
    bool not_ready = true;      // no tables yet
    double mode;                // mode of the density
};

class PosGenX : public PosGen {
public:
    explicit PosGenX(double (*f)(double));
    const char* Name() override;
    double Density(double x) const override;

private:
    double (*density_function)(double);
};

class SymGenX : public SymGen {
public:
    explicit SymGenX(double (*f)(double));
    const char* Name() override;
    double Density(double x) const override;

private:
    double (*density_function)(double);
};

class AsymGenX : public AsymGen {
public:
    AsymGenX(double (*f)(double), double mode);
    const char* Name() override;
    double Density(double x) const override;

private:
    double (*density_function)(double);
};
