// DiscreteGen: any finite discrete distribution by the alias method (two
// uniforms a draw); VariLogNormal: log-normal draws with per-draw parameters.
#pragma once

#include <memory>

#include "random/continuous.h"
#include "random/random.h"

class DiscreteGen : public Random {
public:
    // Outcomes 0 ... n-1 with probabilities prob[0 ... n-1] (read here only);
    // n must be positive.
    DiscreteGen(int n, double* prob);
    // Outcomes val[0 ... n-1] (copied) with probabilities prob[0 ... n-1].
    DiscreteGen(int n, double* prob, double* val);
    DiscreteGen(const DiscreteGen&) = delete;
    DiscreteGen& operator=(const DiscreteGen&) = delete;

    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    // Builds the alias table.
    void Gen(int n, double* prob);

    std::unique_ptr<double[]> alias_prob;  // probability of moving to the cell's alias
    std::unique_ptr<int[]> alias;          // the alias of each cell
    int n;                                 // number of outcomes
    std::unique_ptr<double[]> values;      // value of each outcome; null for 0 ... n-1
    double mean_value;
    double var_value;
};

class VariLogNormal {
public:
    // One log-normal variate with this mean and standard deviation.
    double Next(double mean, double sd);

private:
    Normal normal;
};
