// Placeholder so the test host library has a unit before the test host exists.
namespace tessel_testhost_placeholder {}
