# Sourced after tests/support/xvfb.sh by the tests of the packages: unpacks every .deb
# of the package folder into $root, a temporary root, as installing them would lay
# them out.
unpack_packages() {
  local package
  root="$work/root"
  mkdir "$root"
  for package in "$1"/*.deb; do
    [ -e "$package" ] || fail "no package in $1"
    dpkg-deb -x "$package" "$root"
  done
}
