! Fortran bindings of ravlon's C interface (ravlon.h, ravlon_connect(3))
! through iso_c_binding: copy this module into a program and link it with
! libravlon (pkg-config --libs ravlon). Pixels are bytes, integer(c_int8_t)
! holding 0 to 127 and -128 to -1 for 128 to 255; a Fortran array pix(x, y)
! is a row-major image in C's terms, its rows width bytes apart.
module ravlon
  use, intrinsic :: iso_c_binding
  implicit none

  ! The sample formats, colour maps, scales and limit rules of
  ! ravlon_protocol.h that a Fortran program's data needs.
  integer(c_int), parameter :: RAVLON_U8 = 3, RAVLON_U16 = 4, RAVLON_I16 = 5, &
      RAVLON_I32 = 6, RAVLON_F32 = 7, RAVLON_F64 = 8, RAVLON_BIG_ENDIAN = 256
  integer(c_int), parameter :: RAVLON_MAP_GRAY = 0, RAVLON_MAP_VIRIDIS = 1, &
      RAVLON_MAP_MAGMA = 2, RAVLON_MAP_INFERNO = 3, RAVLON_MAP_TURBO = 4, &
      RAVLON_MAP_COOLWARM = 5, RAVLON_MAP_INVERT = 256
  integer(c_int), parameter :: RAVLON_SCALE_LINEAR = 0, RAVLON_SCALE_SQRT = 1, &
      RAVLON_SCALE_LOG = 2, RAVLON_SCALE_ASINH = 3
  integer(c_int), parameter :: RAVLON_LIMITS_MINMAX = 0, RAVLON_LIMITS_PERCENT = 1, &
      RAVLON_LIMITS_ZSCALE = 2, RAVLON_VIEW_VMIN = 1, RAVLON_VIEW_VMAX = 2

  interface
    type(c_ptr) function ravlon_connect(host, port) bind(c, name='ravlon_connect')
      import :: c_ptr, c_char, c_int
      character(kind=c_char), intent(in) :: host(*)  ! ends with c_null_char
      integer(c_int), value :: port
    end function

    ! keyfile, the path of ravlon's key file, ends with c_null_char too
    type(c_ptr) function ravlon_connect_keyfile(host, port, keyfile) &
        bind(c, name='ravlon_connect_keyfile')
      import :: c_ptr, c_char, c_int
      character(kind=c_char), intent(in) :: host(*), keyfile(*)
      integer(c_int), value :: port
    end function

    integer(c_int) function ravlon_resize(rv, width, height) bind(c, name='ravlon_resize')
      import :: c_ptr, c_int
      type(c_ptr), value :: rv
      integer(c_int), value :: width, height
    end function

    integer(c_int) function ravlon_send_rgb(rv, r, g, b, size) bind(c, name='ravlon_send_rgb')
      import :: c_ptr, c_int, c_int8_t
      type(c_ptr), value :: rv
      integer(c_int8_t), intent(in) :: r(*), g(*), b(*)
      integer(c_int), value :: size
    end function

    integer(c_int) function ravlon_send_colmap(rv, cvec, size) bind(c, name='ravlon_send_colmap')
      import :: c_ptr, c_int, c_int8_t
      type(c_ptr), value :: rv
      integer(c_int8_t), intent(in) :: cvec(*)
      integer(c_int), value :: size
    end function

    integer(c_int) function ravlon_show_rgb(rv, pixels, width, height, stride) &
        bind(c, name='ravlon_show_rgb')
      import :: c_ptr, c_int, c_int8_t, c_size_t
      type(c_ptr), value :: rv
      integer(c_int8_t), intent(in) :: pixels(*)
      integer(c_int), value :: width, height
      integer(c_size_t), value :: stride
    end function

    integer(c_int) function ravlon_show_gray(rv, pixels, width, height, stride) &
        bind(c, name='ravlon_show_gray')
      import :: c_ptr, c_int, c_int8_t, c_size_t
      type(c_ptr), value :: rv
      integer(c_int8_t), intent(in) :: pixels(*)
      integer(c_int), value :: width, height
      integer(c_size_t), value :: stride
    end function

    ! Samples are passed by address (c_loc of a target array), whatever
    ! their type: format (RAVLON_U8 to RAVLON_F64 of ravlon_protocol.h)
    ! tells it. An array a(x, y) is row-major in C's terms.
    integer(c_int) function ravlon_show_frame(rv, width, height, format, samples) &
        bind(c, name='ravlon_show_frame')
      import :: c_ptr, c_int
      type(c_ptr), value :: rv, samples
      integer(c_int), value :: width, height, format
    end function

    integer(c_int) function ravlon_show_region(rv, x, y, width, height, format, samples) &
        bind(c, name='ravlon_show_region')
      import :: c_ptr, c_int
      type(c_ptr), value :: rv, samples
      integer(c_int), value :: x, y, width, height, format
    end function

    integer(c_int) function ravlon_set_view(rv, map, scale, rule, flags, percent, vmin, vmax) &
        bind(c, name='ravlon_set_view')
      import :: c_ptr, c_int, c_double
      type(c_ptr), value :: rv
      integer(c_int), value :: map, scale, rule, flags
      real(c_double), value :: percent, vmin, vmax
    end function

    subroutine ravlon_close(rv) bind(c, name='ravlon_close')
      import :: c_ptr
      type(c_ptr), value :: rv
    end subroutine

    integer(c_int) function ravlon_disconnect(rv) bind(c, name='ravlon_disconnect')
      import :: c_ptr, c_int
      type(c_ptr), value :: rv
    end function

    type(c_ptr) function c_errmsg() bind(c, name='ravlon_errmsg')
      import :: c_ptr
    end function

    integer(c_size_t) function c_strlen(s) bind(c, name='strlen')
      import :: c_ptr, c_size_t
      type(c_ptr), value :: s
    end function
  end interface

contains

  ! The message of the last failed call, as a Fortran string.
  function ravlon_errmsg() result(msg)
    character(len=:), allocatable :: msg
    character(kind=c_char), pointer :: c(:)
    type(c_ptr) :: p
    integer :: i, n
    p = c_errmsg()
    n = int(c_strlen(p))
    call c_f_pointer(p, c, [n + 1])
    allocate(character(len=n) :: msg)
    do i = 1, n
      msg(i:i) = c(i)
    end do
  end function

  ! A level from 0 to 255 as the byte that carries it.
  elemental integer(c_int8_t) function ravlon_byte(level)
    integer, intent(in) :: level
    ravlon_byte = int(merge(level - 256, level, level > 127), c_int8_t)
  end function

end module
