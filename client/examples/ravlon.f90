! Fortran bindings of ravlon's C interface (ravlon.h, ravlon_connect(3))
! through iso_c_binding: copy this module into a program and link it with
! libravlon (pkg-config --libs ravlon). Pixels are bytes, integer(c_int8_t)
! holding 0 to 127 and -128 to -1 for 128 to 255; a Fortran array pix(x, y)
! is a row-major image in C's terms, its rows width bytes apart.
module ravlon
  use, intrinsic :: iso_c_binding
  implicit none

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
